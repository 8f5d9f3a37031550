#include "FuzzTarget.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

// The libFuzzer side of a fuzz program: each program is built from exactly one target file, and runs it
// inside one QApplication on the offscreen platform under the same pinned locale as the tests.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (vqfuzz::targets().size() != 1) {
        std::fprintf(
            stderr, "a fuzz program holds exactly one target, this one %zu\n", vqfuzz::targets().size());
        std::abort();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Never destroyed: widgets that targets keep in statics (the send-keys field) must not outlive it at
    // exit, so it lives until the process ends.
    static QApplication *app = new QApplication(*argc, *argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vqfuzz::targets().begin()->second(data, size);
    return 0;
}
