#include "textbox/LeaveField.h"
#include "platform/Blanks.h"
#include "platform/Error.h"
#include "support/RecordingMessageComponent.h"

#include <gtest/gtest.h>

using namespace vq::textbox;

TEST(LeaveField, StoredValueOfNumberFieldsDependsOnTheFullStop)
{
    EXPECT_EQ(storedValue("1234.5", 2), "1234.50");
    EXPECT_EQ(storedValue("1234", 2), "1234");
    EXPECT_EQ(storedValue(".00", 2), "0.00");
    EXPECT_EQ(storedValue("001234", 2), "1234");
    EXPECT_EQ(storedValue("abc", 2), "abc");
    EXPECT_EQ(storedValue("", 2), "");
    EXPECT_EQ(storedValue("1,234.50", 0), "1,234.50");
}

TEST(LeaveField, NumberDisplayFollowsBothFlags)
{
    EXPECT_EQ(numberDisplay("1234.5", -1, -1), "1,234.50");
    EXPECT_EQ(numberDisplay("0", -1, -1), ".00");
    EXPECT_EQ(numberDisplay("0", -1, 0), "");
    EXPECT_EQ(numberDisplay("1234.5", -1, 0), "1,235");
    EXPECT_EQ(numberDisplay("1234.5", 0, -1), "1234.50");
    EXPECT_EQ(numberDisplay("001234", 0, 0), "001234");
    EXPECT_EQ(numberDisplay("1234.5", 1, 1), "1234.5"); // only -1 counts as true
    EXPECT_EQ(numberDisplay("abc", -1, -1), "abc");
}

TEST(LeaveField, SentenceCaseCapitalisesTheEndsAndUpperCasesTheMiddle)
{
    EXPECT_EQ(sentenceCase("hello world"), "Hello world");
    EXPECT_EQ(sentenceCase("hELLO"), "Hello");
    EXPECT_EQ(sentenceCase("one. two"), "One.Two");
    EXPECT_EQ(sentenceCase("one. two. three"), "One. TWO.Three");
    EXPECT_EQ(sentenceCase("abc."), "Abc.");
    EXPECT_EQ(sentenceCase("hello. world"), "Hello.World");
    EXPECT_EQ(sentenceCase(""), "");
    EXPECT_EQ(sentenceCase("   "), "");
}

TEST(LeaveField, TrimRemovesBlanksOnly)
{
    EXPECT_EQ(vq::trimBlanks("  a b  "), "a b");
    EXPECT_EQ(vq::trimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(vq::trimBlanks("    "), "");
}

TEST(LeaveField, ErrorsReachTheUserAsNumberCommaDescriptionButNoSiteIsSilent)
{
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory(recorder);
    vq::test::ProcessRegistration registration(&factory);
    reportLeaveError(vq::Error(13, "D"));
    reportLeaveError(vq::Error(vq::Error::NoClientSite));
    reportLeaveError(vq::Error(380));
    ASSERT_EQ(recorder.calls.size(), 2);
    EXPECT_EQ(recorder.calls[0].text, "13,D");
    EXPECT_EQ(recorder.calls[0].title, "Warning!");
    EXPECT_EQ(recorder.calls[1].text, "380,Invalid property value");
}
