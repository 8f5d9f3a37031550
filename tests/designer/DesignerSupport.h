#pragma once

#include "frame/Control.h"
#include "frame/MemoryPropertyBag.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <gtest/gtest.h>

// The part of Designer's core that the plugin uses: a form editor with an extension manager, which is what
// Designer hands to a custom widget's initialize().
class DesignerCore : public QDesignerFormEditorInterface
{
public:
    DesignerCore() { setExtensionManager(new QExtensionManager(this)); }
};

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
