#include "textbox/KeystrokeFilter.h"

#include <gtest/gtest.h>

using vq::textbox::filterCharacter;
using vq::textbox::KeystrokeSettings;

namespace {
// Types a string through the filter the way the field would receive it, BACKSPACE included.
QString type(const QString &keys, KeystrokeSettings s, QString text = {})
{
    for (QChar c : keys) {
        const auto r = filterCharacter(c.unicode(), text, s);
        if (r.code == 8)
            text.chop(1);
        else if (r.code != 0 && r.code != 13)
            text += QChar(r.code);
    }
    return text;
}
} // namespace

TEST(KeystrokeFilter, NumberFieldsAcceptDigitsAndAtMostOneFullStop)
{
    KeystrokeSettings number {2, 0, -1, 25};
    EXPECT_EQ(type("1.2.3", number), "1.23");
    EXPECT_EQ(type("-1,000 5", number), "10005");
    number.decimal = 0;
    EXPECT_EQ(type("1.5", number), "15");
    number.decimal = 1; // only -1 is true
    EXPECT_EQ(type("1.5", number), "15");
    // Case rules never touch number fields; copy and cut still pass, paste does not.
    number.caseRule = 1;
    EXPECT_EQ(filterCharacter(3, "", number).code, 3);
    EXPECT_EQ(filterCharacter(24, "", number).code, 24);
    EXPECT_EQ(filterCharacter(22, "", number).code, 0);
}

TEST(KeystrokeFilter, CharacterFieldsKeepOnlyAsciiLetters)
{
    const KeystrokeSettings letters {1, 0, -1, 25};
    EXPECT_EQ(type("ab c1", letters), "abc");
    EXPECT_EQ(filterCharacter(0xe9, "", letters).code, 0); // é
    EXPECT_EQ(filterCharacter(3, "", letters).code, 3);
    EXPECT_EQ(filterCharacter(24, "", letters).code, 24);
    EXPECT_EQ(filterCharacter(22, "", letters).code, 0);
    const KeystrokeSettings upperLetters {1, 1, -1, 25};
    EXPECT_EQ(type("ab1c", upperLetters), "ABC");
}

TEST(KeystrokeFilter, ApostropheAndSemicolonNeverPassWhateverTheType)
{
    for (quint8 type = 0; type <= 3; ++type) {
        EXPECT_EQ(filterCharacter('\'', "", {type, 0, -1, 25}).code, 0) << int(type);
        EXPECT_EQ(filterCharacter(';', "", {type, 0, -1, 25}).code, 0) << int(type);
    }
}

TEST(KeystrokeFilter, LengthLimitRefusesAllButBackspaceAndZeroIsNotUnlimited)
{
    const KeystrokeSettings general {0, 0, -1, 3};
    EXPECT_EQ(type("abcd", general), "abc");
    EXPECT_EQ(filterCharacter(8, "abc", general).code, 8);
    const KeystrokeSettings zero {0, 0, -1, 0};
    EXPECT_EQ(filterCharacter('a', "", zero).code, 0);
    EXPECT_EQ(filterCharacter(8, "", zero).code, 8);
    // ENTER is looked at before the length and always moves on.
    const auto enter = filterCharacter(13, "abc", general);
    EXPECT_TRUE(enter.queueTab);
    EXPECT_EQ(enter.code, 13);
}

TEST(KeystrokeFilter, CaseRulesMapSingleCharacters)
{
    EXPECT_EQ(type("aBc", {0, 1, -1, 25}), "ABC");
    EXPECT_EQ(type("aBc", {0, 2, -1, 25}), "abc");
    EXPECT_EQ(type("aBc", {0, 3, -1, 25}), "aBc"); // sentence case waits for the field to be left
    EXPECT_EQ(type("aBc", {7, 9, -1, 25}), "aBc"); // out-of-range settings match no rule
    EXPECT_EQ(vq::textbox::upperCaseCode(0xe9), 0xc9);
    EXPECT_EQ(vq::textbox::lowerCaseCode('Q'), 'q');
}
