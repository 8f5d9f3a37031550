#include "frame/PropertyTable.h"
#include "frame/Control.h"
#include "frame/MemoryPropertyBag.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A control with the awkward cases other controls have: a key applied only under a condition, a key read
// in another order than written, a default taken at the moment of saving, a key the control carries
// without a property of its own, and a property whose setter has a side effect that loading must skip.
class TableControl : public vq::Control
{
    Q_OBJECT
    Q_PROPERTY(short Count READ Count WRITE setCount)
    Q_PROPERTY(bool Flag READ Flag WRITE setFlag)
    Q_PROPERTY(QString Text READ Text WRITE setText)

public:
    short Count() const { return count; }
    void setCount(short c)
    {
        count = c;
        PropertyChanged(QStringLiteral("Count"));
    }
    bool Flag() const { return flag; }
    void setFlag(bool f)
    {
        flag = f;
        PropertyChanged(QStringLiteral("Flag"));
    }
    QString Text() const { return text; }
    void setText(const QString &t)
    {
        text = t;
        ++sideEffects;
        PropertyChanged(QStringLiteral("Text"));
    }

    const vq::PropertyTable &propertyTable() const override
    {
        using vq::BagType;
        using Entry = vq::PropertyTable::Entry;
        static int stamp = 0;
        static const vq::PropertyTable table = vq::PropertyTable(
            {
                Entry("Count", BagType::Int16, short(0)).when<TableControl>([](const TableControl &c) {
                    return c.accepting;
                }),
                {"Flag", BagType::Boolean, true},
                Entry("Text", BagType::String, QStringLiteral("Text1"))
                    .set<TableControl>([](TableControl &c, const QVariant &v) { c.text = v.toString(); }),
                Entry("Stamp", BagType::Int32, 0)
                    .defaultAt([] { return ++stamp; })
                    .get<TableControl>([](const TableControl &) { return 0; })
                    .set<TableControl>([](TableControl &, const QVariant &) {})
                    .writeOnly(),
            },
            {"Count", "Flag", "Text"})
                                                   .readInOrder({"Text", "Count", "Flag"});
        return table;
    }

    short count = 0;
    bool flag = true;
    QString text = QStringLiteral("Text1");
    bool accepting = true;
    int sideEffects = 0;
};

// Keeps the default handed with each write.
struct DefaultsBag : vq::MemoryPropertyBag
{
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue) override
    {
        defaults.append(defaultValue);
        vq::MemoryPropertyBag::WriteProperty(name, value, defaultValue);
    }
    QVariantList defaults;
};

} // namespace

TEST(PropertyTable, WritesInTableOrderAndReadsInItsOwnOrderWithoutNotifying)
{
    TableControl source;
    source.setCount(3);
    source.setFlag(false);
    source.setText(QStringLiteral("abc"));
    vq::MemoryPropertyBag bag;
    source.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), (QStringList {"Count", "Flag", "Text", "Stamp"}));
    EXPECT_EQ(bag.value("Count").typeId(), QMetaType::Short);
    EXPECT_EQ(bag.value("Flag"), QVariant(false));

    TableControl copy;
    QSignalSpy changes(&copy, &vq::Control::propertyChanged);
    copy.ReadProperties(bag);
    EXPECT_EQ(bag.readLog(), (QStringList {"Text", "Count", "Flag"}));
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_FALSE(copy.Flag());
    EXPECT_EQ(copy.Text(), "abc");
    EXPECT_EQ(copy.sideEffects, 0) << "a custom loader replaces the setter";
    EXPECT_EQ(changes.count(), 0) << "loading a form does not mark it modified";
    copy.setFlag(true);
    EXPECT_EQ(changes.count(), 1) << "notifications come back after loading";
}

TEST(PropertyTable, ConditionsDefaultsAndTypesApplyPerKey)
{
    TableControl control;
    control.accepting = false;
    vq::MemoryPropertyBag bag;
    bag.WriteProperty("Count", 9);
    control.ReadProperties(bag);
    EXPECT_EQ(control.Count(), 0) << "a key whose condition does not hold is not applied";
    vq::MemoryPropertyBag without;
    control.WriteProperties(without);
    EXPECT_FALSE(without.contains("Count")) << "nor written";

    // A default taken at the moment of saving differs from one save to the next.
    DefaultsBag first;
    DefaultsBag second;
    control.WriteProperties(first);
    control.WriteProperties(second);
    ASSERT_EQ(first.defaults.size(), 3);
    ASSERT_EQ(second.defaults.size(), 3);
    EXPECT_EQ(first.defaults.at(0), QVariant(true));
    EXPECT_EQ(second.defaults.at(2).toInt(), first.defaults.at(2).toInt() + 1);

    // A stored flag goes through the typed bag reads: only the 16-bit true and a bool true are true.
    vq::MemoryPropertyBag flags;
    flags.WriteProperty("Flag", 1);
    control.ReadProperties(flags);
    EXPECT_FALSE(control.Flag());
}

#include "PropertyTableTest.moc"
