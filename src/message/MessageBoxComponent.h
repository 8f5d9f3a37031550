#pragma once

#include "frame/MessageComponent.h"
#include "frame/ServerCount.h"

#include <QObject>

namespace vq::message {

// The default message component: a modal warning box showing the text under the title, with one OK
// button. The style and flag values are accepted and not interpreted: every warning of the library looks
// the same.
class MessageBoxComponent : public QObject, public MessageComponent
{
    Q_OBJECT
    Q_INTERFACES(vq::MessageComponent)

public:
    explicit MessageBoxComponent(QObject *parent = nullptr);
    ~MessageBoxComponent() override;

    // Returns the button pressed (QMessageBox::Ok) once the user has dismissed the box.
    int ShowMessage(QString &text, int &style, int &flags, QString &title) override;

    // This module's own live boxes and locks: it answers DllCanUnloadNow for itself, apart from
    // VqControls.
    static ServerCount &server();
};

} // namespace vq::message
