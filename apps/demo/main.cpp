#include "DemoWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vqdemo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A small data-entry form made of VqControls."));
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Render the form to a PNG file and exit."), QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    DemoWindow window;
    window.show();

    if (parser.isSet(screenshot)) {
        QApplication::processEvents();
        const QString file = parser.value(screenshot);
        if (!window.grab().save(file, "PNG")) {
            std::fprintf(stderr, "vqdemo: cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}
