#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every test program runs inside one QApplication, on the offscreen platform unless told otherwise,
// under a pinned English (United States) locale so that separators and date forms are known.
int main(int argc, char **argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Tests that run the build's programs or read the sources find them here; a caller may point
    // them elsewhere.
    if (!qEnvironmentVariableIsSet("VQ_SOURCE_DIR"))
        qputenv("VQ_SOURCE_DIR", VQ_TEST_SOURCE_DIR);
    if (!qEnvironmentVariableIsSet("VQ_BINARY_DIR"))
        qputenv("VQ_BINARY_DIR", VQ_TEST_BINARY_DIR);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
