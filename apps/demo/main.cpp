#include "DemoLookup.h"
#include "DemoWindow.h"

#include "frame/MessageComponent.h"
#include "frame/PropertyPageDialog.h"
#include "frame/Registry.h"

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
    QCommandLineOption pages(QStringLiteral("pages"),
        QStringLiteral("Render the Amount field's property dialog to a PNG file and exit."),
        QStringLiteral("FILE"));
    parser.addOption(pages);
    QCommandLineOption lookupShot(QStringLiteral("screenshot-lookup"),
        QStringLiteral("Open the customer lookup (F1 on Name), search for \"Bak\", render it to a PNG file "
                       "and exit."),
        QStringLiteral("FILE"));
    parser.addOption(lookupShot);
    parser.process(app);

    // Warnings need a message component; the library's default one is registered unless one already is.
    if (!vq::Registry::ensureRegistered(
            vq::MessageComponent::classId(), vq::Registry::defaultMessageLibrary()))
        std::fprintf(stderr,
            "vqdemo: the default message component could not be registered; warnings will "
            "be silent\n");

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
    if (parser.isSet(pages)) {
        const std::unique_ptr<vq::PropertyPageDialog> dialog =
            window.propertiesDialog(window.field("amount"));
        dialog->show();
        QApplication::processEvents();
        const QString file = parser.value(pages);
        if (!dialog->grab().save(file, "PNG")) {
            std::fprintf(stderr, "vqdemo: cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    if (parser.isSet(lookupShot)) {
        const QString file = parser.value(lookupShot);
        bool saved = false;
        window.lookup()->lookUp(
            [&](frmVqHelpList *lookup) { saved = DemoLookup::renderSearch(lookup, file); });
        if (!saved) {
            std::fprintf(stderr, "vqdemo: cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}
