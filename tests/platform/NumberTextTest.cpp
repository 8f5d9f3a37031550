#include "platform/NumberText.h"

#include <gtest/gtest.h>

TEST(NumberToText, ShortestFormWithTheLocaleDecimalSymbol)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(vq::numberToText(1234.5, us), "1234.5");
    EXPECT_EQ(vq::numberToText(-3, us), "-3");
    EXPECT_EQ(vq::numberToText(0.1, us), "0.1");
    EXPECT_EQ(vq::numberToText(1e20, us), "1E+20");
    EXPECT_EQ(vq::numberToText(1.5e-7, us), "1.5E-07");
    EXPECT_EQ(vq::numberToText(1234.5, QLocale(QLocale::German, QLocale::Germany)), "1234,5");
}
