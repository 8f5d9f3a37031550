// The rules every control of the library keeps, checked over every control class this build provides, so
// that a control joins them by being registered.
#include "ControlTraits.h"

#include "frame/ClassFactory.h"
#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/EntryPoints.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/PropertyTable.h"
#include "support/ControlNames.h"
#include "support/Errors.h"
#include "support/Forms.h"

#include <QMetaProperty>
#include <QPixmap>

#include <gtest/gtest.h>

#include <memory>

using vq::BagType;
using vq::ClassTable;
using vq::PropertyTable;

namespace {

class Conformance : public ::testing::TestWithParam<QString>
{
protected:
    void SetUp() override
    {
        name = GetParam();
        traits = &vq::test::traitsOf(name);
        control = fresh();
        ASSERT_NE(control, nullptr);
        table = &control->propertyTable();
    }

    std::unique_ptr<vq::Control> fresh(QWidget *parent = nullptr) const
    {
        std::unique_ptr<vq::Control> c(vq::CreateControl(name, parent));
        if (traits->prepare)
            traits->prepare(*c);
        return c;
    }

    std::optional<QVariant> sample(const PropertyTable::Entry &e) const
    {
        return vq::test::sampleValue(*traits, e);
    }

    // A value a bag could hold that the key's type must refuse.
    static std::optional<QVariant> wrongValue(BagType type)
    {
        switch (type) {
        case BagType::String:
            return QVariant(QVariantList {1, 2});
        case BagType::Variant:
            return std::nullopt;
        default:
            return QVariant(QStringLiteral("not a number"));
        }
    }

    QString name;
    const vq::test::ControlTraits *traits = nullptr;
    std::unique_ptr<vq::Control> control;
    const PropertyTable *table = nullptr;
};

} // namespace

TEST_P(Conformance, PropertyNamesOnTheMetaObjectAreExactlyTheListedInterface)
{
    const QMetaObject *meta = control->metaObject();
    QStringList declared;
    for (int i = vq::Control::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        declared.append(QString::fromLatin1(meta->property(i).name()));
    EXPECT_EQ(declared, table->interfaceProperties());
    EXPECT_STREQ(meta->className(), name.toLatin1().constData());
    // Every saved key is a property of the interface or a key the control carries for its widgets alone.
    for (const PropertyTable::Entry &e : table->entries()) {
        if (!e.setter || !e.getter) {
            EXPECT_GE(meta->indexOfProperty(e.key.toLatin1()), 0) << e.key.toStdString();
        }
    }
}

TEST_P(Conformance, EverySetterNotifiesWithThePropertysOwnNameEvenWithoutAChange)
{
    const QMetaObject *meta = control->metaObject();
    QStringList names;
    QObject::connect(control.get(), &vq::Control::propertyChanged, [&](const QString &n) { names << n; });
    for (int i = vq::Control::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        const QString property = QString::fromLatin1(p.name());
        if (!p.isWritable() || traits->unsettable.contains(property))
            continue;
        names.clear();
        ASSERT_TRUE(p.write(control.get(), p.read(control.get()))) << p.name();
        EXPECT_EQ(names, QStringList {property});
    }
}

TEST_P(Conformance, ABagRoundTripKeepsEveryKeyInOrder)
{
    vq::MemoryPropertyBag saved;
    QStringList sampled;
    for (const PropertyTable::Entry &e : table->entries()) {
        if (const auto v = sample(e)) {
            saved.WriteProperty(e.key, *v);
            sampled.append(e.key);
        }
    }
    control->ReadProperties(saved);
    EXPECT_EQ(saved.readLog(), table->readKeys());

    vq::MemoryPropertyBag written;
    control->WriteProperties(written);
    EXPECT_EQ(written.keys(), table->writtenKeys());
    for (const QString &key : sampled) {
        const PropertyTable::Entry *e = table->find(key);
        if (e->read && e->written) {
            EXPECT_EQ(written.value(key), saved.value(key)) << key.toStdString();
        }
    }

    // What was written reads back into a fresh control as the same bag.
    const auto copy = fresh();
    copy->ReadProperties(written);
    vq::MemoryPropertyBag again;
    copy->WriteProperties(again);
    for (const QString &key : table->writtenKeys()) {
        if (table->find(key)->read) {
            EXPECT_EQ(again.value(key), written.value(key)) << key.toStdString();
        }
    }
}

TEST_P(Conformance, MissingKeysGiveTheirDefaults)
{
    vq::MemoryPropertyBag empty;
    control->ReadProperties(empty);
    vq::MemoryPropertyBag written;
    control->WriteProperties(written);
    for (const PropertyTable::Entry &e : table->entries()) {
        if (e.read && e.written && e.type != BagType::Variant && !traits->defaultsNotKept.contains(e.key)) {
            EXPECT_EQ(written.value(e.key), PropertyTable::bagValue(e.currentDefault(), e.type))
                << e.key.toStdString();
        }
    }
}

TEST_P(Conformance, AValueOfTheWrongTypeIsRefusedWithError13NamingTheKey)
{
    for (const QString &key : table->readKeys()) {
        const auto wrong = wrongValue(table->find(key)->type);
        if (!wrong)
            continue;
        vq::MemoryPropertyBag bag;
        bag.WriteProperty(key, *wrong);
        const auto target = fresh();
        EXPECT_EQ(vq::test::errorNumber([&] { target->ReadProperties(bag); }), 13) << key.toStdString();
        EXPECT_TRUE(vq::test::errorText([&] { target->ReadProperties(bag); }).contains('"' + key + '"'))
            << key.toStdString();
    }
}

TEST_P(Conformance, EnabledIsTheControlsOwnStateUnderADisabledParent)
{
    if (control->metaObject()->indexOfProperty("Enabled") < 0)
        GTEST_SKIP() << "no Enabled property";
    QWidget parent;
    const auto child = fresh(&parent);
    parent.setEnabled(false);
    EXPECT_EQ(child->property("Enabled"), QVariant(true));
    vq::MemoryPropertyBag bag;
    child->WriteProperties(bag);
    EXPECT_EQ(bag.value("Enabled"), QVariant(true));

    child->setProperty("Enabled", false);
    parent.setEnabled(true);
    EXPECT_EQ(child->property("Enabled"), QVariant(false));
    EXPECT_FALSE(child->isEnabled());
}

TEST_P(Conformance, CreatedByNameByClassIdAndThroughTheEntryPointAtItsDesignSize)
{
    const ClassTable::ClassInfo *info = ClassTable::find(name);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(QSize(control->widthTwips(), control->heightTwips()), info->designSize);
    EXPECT_EQ(std::unique_ptr<vq::Control>(vq::CreateControl(info->classId))->metaObject()->className(),
        name.toStdString());

    void *object = nullptr;
    const QUuid iid;
    ASSERT_EQ(DllGetClassObject(&info->classId, &iid, &object), vq::status::Ok);
    std::unique_ptr<vq::ClassFactory> factory(static_cast<vq::ClassFactory *>(object));
    std::unique_ptr<QObject> made(factory->CreateInstance());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->metaObject()->className(), name.toStdString());

    EXPECT_EQ(ClassTable::toolboxPicture(info->toolboxBitmap).size(), QSize(16, 15));
}

// ENTER in an entry moves on as TAB would; in a dialog Qt would also press the default button.
TEST_P(Conformance, EnterInAnEntryMovesOnWithoutPressingADialogsDefaultButton)
{
    static const QStringList entries = {QStringLiteral("VqTextBox"), QStringLiteral("VqComboBox"),
        QStringLiteral("VqPortableListBox"), QStringLiteral("VqHierarchyCombo"),
        QStringLiteral("VqDTPicker")};
    if (!entries.contains(name))
        GTEST_SKIP() << "ENTER does not move on from this control";
    vq::test::Form dialog([this](QWidget *parent) { return fresh(parent).release(); },
        vq::test::Form::Host::DialogWithDefaultButton);
    ASSERT_TRUE(dialog.isActive());
    vq::test::Form::focus(dialog.before);
    QTest::keyClick(dialog.before, Qt::Key_Tab);
    QWidget *entry = QApplication::focusWidget();
    ASSERT_TRUE(entry && dialog.widget->isAncestorOf(entry));
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog.after; }, 5000));
    EXPECT_EQ(dialog.saveClicks, 0);
    EXPECT_TRUE(dialog.dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(EveryControl, Conformance, ::testing::ValuesIn(vq::test::availableControlNames()),
    [](const ::testing::TestParamInfo<QString> &info) { return info.param.toStdString(); });
