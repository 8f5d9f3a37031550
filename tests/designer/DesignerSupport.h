#pragma once

#include "frame/Control.h"
#include "frame/MemoryPropertyBag.h"

#include <QIODevice>
#include <QUiLoader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <gtest/gtest.h>

#include <memory>

// The part of Designer's core that the plugin's initialize() uses: a form editor with an extension manager.
class DesignerCore : public QDesignerFormEditorInterface
{
public:
    DesignerCore() { setExtensionManager(new QExtensionManager(this)); }
};

// The test form: one control of every class, some with values other than a new control's.
inline const char *formFile()
{
    return VQ_DESIGNER_TEST_DIR "/AllControls.ui";
}

inline std::unique_ptr<QWidget> loadForm(QUiLoader &loader, QIODevice &device)
{
    if (!device.isOpen())
        device.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> form(loader.load(&device));
    EXPECT_NE(form, nullptr) << loader.errorString().toStdString();
    return form;
}

// Two controls are the same control of a form when they save the same keys with the same values.
inline void expectSameSavedState(vq::Control &actual, vq::Control &expected)
{
    vq::MemoryPropertyBag a, b;
    actual.WriteProperties(a);
    expected.WriteProperties(b);
    ASSERT_EQ(a.keys(), b.keys()) << expected.objectName().toStdString();
    for (const QString &key : b.keys())
        EXPECT_EQ(a.value(key), b.value(key))
            << expected.objectName().toStdString() << "." << key.toStdString();
}

// Every control of one form is the same as the control of the same name in the other: class, geometry,
// mode and saved state.
inline void expectSameForm(const QWidget &actual, const QWidget &expected)
{
    const QList<vq::Control *> controls = expected.findChildren<vq::Control *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(actual.findChildren<vq::Control *>(Qt::FindDirectChildrenOnly).size(), controls.size());
    for (vq::Control *c : controls) {
        auto *other = actual.findChild<vq::Control *>(c->objectName());
        ASSERT_NE(other, nullptr) << c->objectName().toStdString();
        EXPECT_STREQ(other->metaObject()->className(), c->metaObject()->className());
        EXPECT_EQ(other->geometry(), c->geometry()) << c->objectName().toStdString();
        EXPECT_EQ(other->ambientProperties().UserMode, c->ambientProperties().UserMode);
        expectSameSavedState(*other, *c);
    }
}
