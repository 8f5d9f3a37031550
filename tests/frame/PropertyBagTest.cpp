#include "frame/BagValues.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Error.h"

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

namespace {
void expectTypeMismatchNaming(const QString &key, const std::function<void()> &read)
{
    try {
        read();
        ADD_FAILURE() << "no error for " << key.toStdString();
    } catch (const vq::Error &e) {
        EXPECT_EQ(e.number(), vq::Error::TypeMismatch);
        EXPECT_TRUE(e.description().contains(QLatin1Char('"') + key + QLatin1Char('"')))
            << e.description().toStdString();
    }
}
} // namespace

TEST(BagValues, WrongTypesAreRefusedWithAnErrorNamingTheKey)
{
    MemoryPropertyBag bag;
    bag.WriteProperty(QStringLiteral("pDecimal"), QStringLiteral("two"));
    bag.WriteProperty(QStringLiteral("MaxLength"), 70000);
    bag.WriteProperty(QStringLiteral("pDataType"), 1.5);
    bag.WriteProperty(QStringLiteral("BackColor"), QStringLiteral("red"));
    bag.WriteProperty(QStringLiteral("Text"), QVariantList {1, 2});
    bag.WriteProperty(QStringLiteral("Byte"), 256);
    bag.WriteProperty(QStringLiteral("Huge"), 1e300); // beyond every integer: refused, not converted

    expectTypeMismatchNaming(
        QStringLiteral("pDecimal"), [&] { vq::bag::readInt16(bag, QStringLiteral("pDecimal"), 0); });
    expectTypeMismatchNaming(
        QStringLiteral("MaxLength"), [&] { vq::bag::readInt16(bag, QStringLiteral("MaxLength"), 0); });
    expectTypeMismatchNaming(
        QStringLiteral("pDataType"), [&] { vq::bag::readInt32(bag, QStringLiteral("pDataType"), 0); });
    expectTypeMismatchNaming(
        QStringLiteral("BackColor"), [&] { vq::bag::readUInt32(bag, QStringLiteral("BackColor"), 0); });
    expectTypeMismatchNaming(
        QStringLiteral("Text"), [&] { vq::bag::readString(bag, QStringLiteral("Text"), QString()); });
    expectTypeMismatchNaming(
        QStringLiteral("Byte"), [&] { vq::bag::readByte(bag, QStringLiteral("Byte"), 0); });
    expectTypeMismatchNaming(
        QStringLiteral("Huge"), [&] { vq::bag::readInt32(bag, QStringLiteral("Huge"), 0); });
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
