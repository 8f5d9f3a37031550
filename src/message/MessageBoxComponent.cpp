#include "MessageBoxComponent.h"

#include <QApplication>
#include <QMessageBox>

namespace vq::message {

MessageBoxComponent::MessageBoxComponent(QObject *parent)
    : QObject(parent)
{
    server().add();
}

MessageBoxComponent::~MessageBoxComponent()
{
    server().release();
}

ServerCount &MessageBoxComponent::server()
{
    static ServerCount count;
    return count;
}

int MessageBoxComponent::ShowMessage(QString &text, int &, int &, QString &title)
{
    // A host without a widget application cannot show a window; saying so on the console beats aborting
    // the host's process.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        qWarning("%s: %s", qUtf8Printable(title), qUtf8Printable(text));
        return 0;
    }
    // No owner window is given: the box is application-modal and centred on the screen.
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    return box.exec();
}

} // namespace vq::message
