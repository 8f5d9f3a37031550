#include "platform/Error.h"

#include <gtest/gtest.h>

TEST(Error, KnownNumbersCarryTheirStandardDescription)
{
    EXPECT_EQ(vq::Error(3001).description(),
        "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
    EXPECT_EQ(vq::Error(94).description(), "Invalid use of Null");
    EXPECT_EQ(vq::Error(35602).description(), "Key is not unique in collection");
}

TEST(Error, ReportErrorGoesToTheInstalledHandlerUntilItIsRemoved)
{
    int seen = 0;
    auto previous = vq::setErrorHandler([&](const vq::Error &e) { seen = e.number(); });
    vq::reportError(vq::Error(13));
    EXPECT_EQ(seen, 13);
    vq::setErrorHandler(previous);
    seen = 0;
    vq::reportError(vq::Error(5)); // back to the default: logged, not delivered to us
    EXPECT_EQ(seen, 0);
}
