#pragma once

#include <QObject>
#include <QString>
#include <QUuid>

namespace vq {

// The outside component that shows the library's warnings. It is created by class id for each message;
// any class registered under MessageComponent::classId() whose instances implement this interface serves.
class MessageComponent
{
public:
    virtual ~MessageComponent() = default;

    // Shows text under title and returns when the user has dismissed it. The library passes 2 and 0 as
    // style and flags; all four arguments are by reference.
    virtual int ShowMessage(QString &text, int &style, int &flags, QString &title) = 0;

    static QUuid classId();
};

} // namespace vq

#define VQ_MESSAGECOMPONENT_IID "org.vqcontrols.MessageComponent/1.0"
Q_DECLARE_INTERFACE(vq::MessageComponent, VQ_MESSAGECOMPONENT_IID)
