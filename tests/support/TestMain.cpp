#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every test program runs inside one QApplication, on the offscreen platform unless told otherwise,
// with VQ_SOURCE_DIR and VQ_BINARY_DIR naming the trees, under a pinned English (United States) locale so
// that separators and date forms are known.
int main(int argc, char **argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (qEnvironmentVariableIsEmpty("VQ_SOURCE_DIR"))
        qputenv("VQ_SOURCE_DIR", VQ_SOURCE_DIR_DEFAULT);
    if (qEnvironmentVariableIsEmpty("VQ_BINARY_DIR"))
        qputenv("VQ_BINARY_DIR", VQ_BINARY_DIR_DEFAULT);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
