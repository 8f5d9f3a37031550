#include "MessageBoxComponent.h"

#include "MessageCount.h"

#include <QMessageBox>

namespace vq::message {

MessageBoxComponent::MessageBoxComponent(QObject *parent)
    : QObject(parent)
{
    count::add();
}

MessageBoxComponent::~MessageBoxComponent()
{
    count::release();
}

int MessageBoxComponent::ShowMessage(QString &text, int &, int &, QString &title)
{
    // No owner window is given: the box is application-modal and centred on the screen.
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    return box.exec();
}

} // namespace vq::message
