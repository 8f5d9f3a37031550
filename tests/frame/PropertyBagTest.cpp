#include "frame/BagValues.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Error.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <functional>

using vq::MemoryPropertyBag;

TEST(MemoryPropertyBag, KeepsKeysInFirstWriteOrderAndAnswersDefaultsForMissingOnes)
{
    MemoryPropertyBag bag;
    bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("abc"), QString());
    bag.WriteProperty(QStringLiteral("pCase"), 1, 0);
    bag.WriteProperty(QStringLiteral("Alignment"), 0, 0);
    // A rewrite keeps the key's first place.
    bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("xyz"), QString());
    EXPECT_EQ(bag.keys(),
        (QStringList {QStringLiteral("Text"), QStringLiteral("pCase"), QStringLiteral("Alignment")}));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Text"), QStringLiteral("d")), QVariant(QStringLiteral("xyz")));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Missing"), 7), QVariant(7));
    EXPECT_FALSE(bag.ReadProperty(QStringLiteral("Missing")).isValid());
    EXPECT_EQ(bag.readLog(),
        (QStringList {QStringLiteral("Text"), QStringLiteral("Missing"), QStringLiteral("Missing")}));

    // A copy is independent of its original.
    MemoryPropertyBag copy = bag;
    copy.WriteProperty(QStringLiteral("Extra"), 1);
    EXPECT_FALSE(bag.contains(QStringLiteral("Extra")));
}

TEST(MemoryPropertyBag, OmittingDefaultsDropsThemAndReadingGivesThemBack)
{
    MemoryPropertyBag bag;
    bag.setOmitDefaults(true);
    bag.WriteProperty(QStringLiteral("pDecimal"), 2, 0);
    bag.WriteProperty(QStringLiteral("MaxLength"), 0, 0);
    bag.WriteProperty(QStringLiteral("Tag"), QString()); // no default given: always kept
    EXPECT_EQ(bag.keys(), (QStringList {QStringLiteral("pDecimal"), QStringLiteral("Tag")}));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("MaxLength"), 0), QVariant(0));

    // Writing the default over a stored value removes it, so a reader sees the default again.
    bag.WriteProperty(QStringLiteral("pDecimal"), 0, 0);
    EXPECT_FALSE(bag.contains(QStringLiteral("pDecimal")));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("pDecimal"), 0), QVariant(0));
}

TEST(BagValues, WrongTypesAreRefusedWithAnErrorNamingTheKey)
{
    using Read = std::function<void(MemoryPropertyBag &, const QString &)>;
    const std::tuple<const char *, QVariant, Read> cases[] = {
        {"pDecimal", QStringLiteral("two"), [](auto &b, auto &k) { vq::bag::readInt16(b, k, 0); }},
        {"MaxLength", 70000, [](auto &b, auto &k) { vq::bag::readInt16(b, k, 0); }},
        {"pDataType", 1.5, [](auto &b, auto &k) { vq::bag::readInt32(b, k, 0); }},
        {"BackColor", QStringLiteral("red"), [](auto &b, auto &k) { vq::bag::readUInt32(b, k, 0); }},
        {"Text", QVariantList {1, 2}, [](auto &b, auto &k) { vq::bag::readString(b, k, QString()); }},
        {"Byte", 256, [](auto &b, auto &k) { vq::bag::readByte(b, k, 0); }},
        // Beyond every integer: refused, not converted.
        {"Huge", 1e300, [](auto &b, auto &k) { vq::bag::readInt32(b, k, 0); }},
    };
    for (const auto &[key, stored, read] : cases) {
        MemoryPropertyBag bag;
        bag.WriteProperty(QString::fromLatin1(key), stored);
        const auto call = [&] { read(bag, QString::fromLatin1(key)); };
        EXPECT_EQ(vq::test::errorNumber(call), vq::Error::TypeMismatch) << key;
        EXPECT_TRUE(vq::test::errorText(call).contains(QStringLiteral("\"%1\"").arg(key))) << key;
    }
}

TEST(BagValues, AcceptsWhatHostsReallyStore)
{
    MemoryPropertyBag bag;
    bag.WriteProperty(QStringLiteral("Digits"), QStringLiteral(" 12 "));
    bag.WriteProperty(QStringLiteral("Whole"), 3.0);
    bag.WriteProperty(QStringLiteral("Flag"), true);
    bag.WriteProperty(QStringLiteral("Colour"), -2147483640); // 0x80000008 handed back signed
    bag.WriteProperty(QStringLiteral("Odd"), 1);

    EXPECT_EQ(vq::bag::readInt16(bag, QStringLiteral("Digits"), 0), 12);
    EXPECT_EQ(vq::bag::readInt32(bag, QStringLiteral("Whole"), 0), 3);
    EXPECT_EQ(vq::bag::readBoolean(bag, QStringLiteral("Flag"), 0), -1);
    EXPECT_EQ(vq::bag::readUInt32(bag, QStringLiteral("Colour"), 0), 0x80000008u);
    // Only -1 is true where a 16-bit boolean is tested.
    EXPECT_EQ(vq::bag::readBoolean(bag, QStringLiteral("Odd"), 0), 1);
    EXPECT_FALSE(vq::bag::readBool(bag, QStringLiteral("Odd"), true));
    EXPECT_TRUE(vq::bag::readBool(bag, QStringLiteral("Flag"), false));
    // Missing keys give the defaults, of every type.
    EXPECT_EQ(vq::bag::readInt16(bag, QStringLiteral("None"), -5), -5);
    EXPECT_EQ(vq::bag::readString(bag, QStringLiteral("None"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_TRUE(vq::bag::readBool(bag, QStringLiteral("None"), true));
}
