// The form text without controls: every value type a bag holds is written so that it reads back as the
// same value of the same type, in a form a person can read.
#include "forms/FormFileError.h"
#include "forms/FormReader.h"
#include "forms/FormWriter.h"

#include <QDateTime>
#include <QFont>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vq::forms;

namespace {

FormDescription oneControl(const QString &name, std::vector<FormProperty> properties)
{
    FormDescription form;
    form.controls.push_back(
        {QStringLiteral("VqTextBox"), name, QRect(-15, 30, 0, 1000000), std::move(properties), {}, {}});
    return form;
}

} // namespace

TEST(FormText, EveryValueTypeIsWrittenReadablyAndReadsBackAsItself)
{
    QFont styled(QStringLiteral("Courier New"), 11, QFont::Bold, true);
    styled.setStrikeOut(true);
    QFont semibold(QStringLiteral("Verdana"));
    semibold.setPointSizeF(8.25);
    semibold.setWeight(QFont::DemiBold);
    QFont pixels(QStringLiteral("Verdana"));
    pixels.setPixelSize(12);
    const struct
    {
        QVariant value;
        const char *text; // as written, or empty where only the round trip is checked
    } cases[] = {
        {QString(), "\"\""},
        {QStringLiteral("say \"hi\"\\\n\r\t\x01 é"), R"("say \"hi\"\\\n\r\t\u0001 é")"},
        {QString(QChar(0xD800)) + QStringLiteral("x\U0001F600"), "\"\\ud800x\U0001F600\""},
        {true, "true"},
        {false, "false"},
        {QVariant(), "null"},
        {-2147483647 - 1, "-2147483648"},
        {qlonglong(1) << 40, "1099511627776"},
        {uint(0x80000008), "0x80000008"},
        {uint(0xff), "0x000000ff"},
        {2.5, "2.5"},
        {36999.0, "36999.0"},
        {1e300, "1e+300"},
        {-0.0, "-0.0"},
        {0.1 + 0.2, ""},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {QDate(2026, 12, 6), "2026-12-06"},
        {QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC), "9999-12-31T00:00:00Z"},
        {QDateTime(QDate(1601, 1, 1), QTime(13, 45, 1, 500), Qt::OffsetFromUTC, -(9 * 3600 + 30 * 60)),
            "1601-01-01T13:45:01.500-09:30"},
        {QDateTime(QDate(2001, 4, 18), QTime(8, 0)), "2001-04-18T08:00:00"},
        {styled, R"(font("Courier New", 11, bold, italic, strikeout))"},
        {semibold, R"(font("Verdana", 8.25, weight 600))"},
        {pixels, ""},
    };
    std::vector<FormProperty> properties;
    for (const auto &c : cases) {
        const auto text = valueText(c.value);
        ASSERT_TRUE(text) << c.value.typeName();
        if (*c.text) {
            EXPECT_EQ(*text, QString::fromUtf8(c.text));
            properties.push_back({QStringLiteral("K%1").arg(properties.size()), c.value, {}, {}});
        }
    }
    const FormDescription form = oneControl(QStringLiteral("a name"), properties);
    const QByteArray written = writeForm(form);
    const FormDescription read = readForm(written);
    ASSERT_EQ(read.controls.size(), 1u);
    EXPECT_EQ(read.controls[0].name, QStringLiteral("a name"));
    EXPECT_EQ(read.controls[0].geometry, QRect(-15, 30, 0, 1000000));
    ASSERT_EQ(read.controls[0].properties.size(), properties.size());
    for (size_t i = 0; i < properties.size(); ++i) {
        const QVariant &got = read.controls[0].properties[i].value;
        SCOPED_TRACE(written.toStdString());
        EXPECT_EQ(got.typeId(), properties[i].value.typeId()) << i;
        EXPECT_EQ(got, properties[i].value) << i;
        if (got.typeId() == QMetaType::Double) {
            EXPECT_EQ(std::signbit(got.toDouble()), std::signbit(properties[i].value.toDouble())) << i;
        }
        if (got.typeId() == QMetaType::QDateTime) {
            EXPECT_EQ(got.toDateTime().timeSpec(), properties[i].value.toDateTime().timeSpec()) << i;
        }
    }
    EXPECT_TRUE(std::isnan(
        readForm(writeForm(oneControl(QStringLiteral("n"), {{QStringLiteral("K"), std::nan(""), {}, {}}})))
            .controls[0]
            .properties[0]
            .value.toDouble()));
}

TEST(FormText, TheReaderTakesWhatAPersonWouldWrite)
{
    const FormDescription form =
        readForm("\xEF\xBB\xBFVqForm 1 # header\r\n"
                 "VqTextBox\tt at 0,0 size 1,1{A=rgb(1,2,3)B=-12\"odd key\"=\"x\"}\r\n"
                 "VqOKButton \"ok button\" at 1 , 2 size 3 , 4 {\n}");
    ASSERT_EQ(form.controls.size(), 2u);
    const FormControl &t = form.controls[0];
    EXPECT_EQ(t.classAt.line, 2);
    EXPECT_EQ(t.nameAt.column, 11);
    ASSERT_EQ(t.properties.size(), 3u);
    EXPECT_EQ(t.properties[0].value, QVariant(uint(0x030201)));
    EXPECT_EQ(t.properties[1].value, QVariant(-12));
    EXPECT_EQ(t.properties[2].key, QStringLiteral("odd key"));
    EXPECT_EQ(form.controls[1].name, QStringLiteral("ok button"));
    EXPECT_EQ(form.controls[1].geometry, QRect(1, 2, 3, 4));
}

TEST(FormText, WhatNoFormCanHoldIsRefusedOnWriting)
{
    for (const QVariant &v : {QVariant(QByteArray("x")), QVariant(QVariantList {1}),
             QVariant(QDate(10000, 1, 1)), QVariant(std::numeric_limits<quint64>::max())}) {
        EXPECT_FALSE(valueText(v)) << v.typeName();
        try {
            writeForm(oneControl(QStringLiteral("t"), {{QStringLiteral("Key"), v, {}, {}}}));
            ADD_FAILURE() << v.typeName();
        } catch (const vq::Error &e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_TRUE(e.description().contains(QStringLiteral("\"Key\""))) << e.description().toStdString();
        }
    }
}
