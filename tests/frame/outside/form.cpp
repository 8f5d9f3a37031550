#include "ui_AllControls.h"

#include <VqControls/uiloader/UiLoader.h>

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <memory>

// A form made in Designer, compiled by uic and read at run time by vq::UiLoader. Exits with 0 when the
// compiled form and the loaded one both hold a running text box with the form's data type.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    QWidget compiled;
    Ui::AllControls ui;
    ui.setupUi(&compiled);
    if (ui.amount->pDataType() != 2 || !ui.amount->ambientProperties().UserMode) {
        std::fprintf(stderr, "compiled form: amount has data type %d\n", int(ui.amount->pDataType()));
        return 1;
    }

    vq::UiLoader loader;
    QFile file(QStringLiteral(OUTSIDE_FORM_FILE));
    file.open(QIODevice::ReadOnly);
    const std::unique_ptr<QWidget> loaded(loader.load(&file));
    auto *amount = loaded ? loaded->findChild<VqTextBox *>(QStringLiteral("amount")) : nullptr;
    if (!amount || amount->pDataType() != 2) {
        std::fprintf(stderr, "loaded form: %s\n", qPrintable(loader.errorString()));
        return 1;
    }
    std::puts("forms ok");
    return 0;
}
