#include "DemoWindow.h"
#include "FieldLookup.h"
#include "OrderForm.h"
#include "SampleDatabase.h"

#include "frame/MessageComponent.h"
#include "frame/PropertyPageDialog.h"
#include "frame/Registry.h"
#include "platform/Error.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>

#include <cstdio>

namespace {

int cannotWrite(const QString &file)
{
    std::fprintf(stderr, "vqdemo: cannot write %s\n", qPrintable(file));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vqdemo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("An order-entry program made of VqControls."));
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Render the order form to a PNG file and exit."), QStringLiteral("FILE"));
    parser.addOption(screenshot);
    QCommandLineOption pages(QStringLiteral("pages"),
        QStringLiteral("Render the Amount field's property dialog to a PNG file and exit."),
        QStringLiteral("FILE"));
    parser.addOption(pages);
    QCommandLineOption lookupShot(QStringLiteral("screenshot-lookup"),
        QStringLiteral(
            "Open the customer lookup (F1 on Customer), search for \"Bak\", render it to a PNG file "
            "and exit."),
        QStringLiteral("FILE"));
    parser.addOption(lookupShot);
    QCommandLineOption form(QStringLiteral("form"),
        QStringLiteral("Lay the order form out from a form file instead of the one built in."),
        QStringLiteral("FILE"));
    parser.addOption(form);
    parser.process(app);

    // Warnings need a message component; the library's default one is registered unless one already is.
    if (!vq::Registry::ensureRegistered(
            vq::MessageComponent::classId(), vq::Registry::defaultMessageLibrary()))
        std::fprintf(stderr,
            "vqdemo: the default message component could not be registered; warnings will "
            "be silent\n");

    const QString database = SampleDatabase::defaultPath();
    if (!SampleDatabase::ensure(database))
        return 1;
    std::unique_ptr<DemoWindow> window;
    try {
        window = std::make_unique<DemoWindow>(database, parser.value(form));
    } catch (const vq::Error &e) {
        std::fprintf(stderr, "vqdemo: %s (database %s)\n", qPrintable(e.description()), qPrintable(database));
        return 1;
    }
    window->show();

    if (parser.isSet(screenshot)) {
        QApplication::processEvents();
        const QString file = parser.value(screenshot);
        return window->grab().save(file, "PNG") ? 0 : cannotWrite(file);
    }
    if (parser.isSet(pages)) {
        const std::unique_ptr<vq::PropertyPageDialog> dialog =
            window->propertiesDialog(window->form()->amount());
        dialog->show();
        QApplication::processEvents();
        const QString file = parser.value(pages);
        return dialog->grab().save(file, "PNG") ? 0 : cannotWrite(file);
    }
    if (parser.isSet(lookupShot)) {
        const QString file = parser.value(lookupShot);
        bool saved = false;
        window->customerLookup()->lookUp([&](frmVqHelpList *lookup) {
            saved = FieldLookup::renderSearch(lookup, QStringLiteral("Bak"), file);
        });
        return saved ? 0 : cannotWrite(file);
    }
    return QApplication::exec();
}
