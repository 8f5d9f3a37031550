#include "combos/ComboEntry.h"

#include <gtest/gtest.h>

using vq::combos::filterComboCharacter;
using vq::combos::isInList;

TEST(ComboKeystroke, EnterQuotesAndTheWholeTextLengthRuleApplyInOrder)
{
    struct Case
    {
        int code;
        int textLength;
        short maxLength;
        int expectedCode;
        bool tab;
    };
    const Case cases[] = {
        {'a', 24, 25, 'a', false}, {'a', 25, 25, 0, false}, // at the limit
        {'a', 30, 25, 0, false}, // past it (pasted or set by the host)
        {8, 25, 25, 8, false}, // BACKSPACE always passes
        {8, 3, -5, 8, false}, {'a', 0, 0, 0, false}, // 0 refuses everything but BACKSPACE
        {'a', 0, -1, 0, false}, // a signed comparison: negative limits refuse too
        {'a', 0, 32767, 'a', false}, {'\'', 0, 25, 0, false}, {';', 0, 25, 0, false},
        {'"', 0, 25, '"', false}, {13, 0, 25, 13, true}, // ENTER moves on and is itself left alone ...
        {13, 25, 25, 0, true}, // ... unless the entry is full, when it still moves on
        {22, 3, 25, 22, false}, // Ctrl+V passes while there is room
        {22, 25, 25, 0, false}, {3, 25, 25, 0, false}, // even Ctrl+C is refused at the limit
    };
    for (const Case &c : cases) {
        const auto r = filterComboCharacter(c.code, QString(c.textLength, 'x'), c.maxLength);
        EXPECT_EQ(r.code, c.expectedCode)
            << "code " << c.code << " length " << c.textLength << " max " << c.maxLength;
        EXPECT_EQ(r.queueTab, c.tab) << "code " << c.code;
    }
}

TEST(ComboListMatch, ComparesUpperCasedByTheLocaleAndItemsAsStored)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    struct Case
    {
        const char *entry;
        QStringList items;
        QLocale locale;
        bool expected;
    };
    const Case cases[] = {
        {"apple", {"Pear", "APPLE"}, us, true},
        {"apple", {}, us, false},
        {"apple", {" apple"}, us, false}, // the item's blank is kept

        {"Straße", {"STRASSE"}, us, true}, // upper-casing, not letter-by-letter folding
        {"istanbul", {"İSTANBUL"}, turkish, true}, // the Turkish dotted capital I
        {"istanbul", {"ISTANBUL"}, turkish, false},
        {"istanbul", {"ISTANBUL"}, us, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isInList(QString::fromUtf8(c.entry), c.items, c.locale), c.expected) << c.entry;
}
