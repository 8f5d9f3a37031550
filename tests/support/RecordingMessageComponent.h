#pragma once

#include "frame/ClassFactory.h"
#include "frame/MessageComponent.h"
#include "frame/Registry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <stdexcept>

namespace vq::test {

struct Call
{
    int instance;
    QString text;
    int style;
    int flags;
    QString title;
    bool aliveAfterwards = true;
};

// Records every call and every instance's life, as a host's test double of the outside component would.
struct Recorder
{
    QList<Call> calls;
    int created = 0;
    int alive = 0;
    bool failInShowMessage = false;
};

class RecordingComponent : public QObject, public vq::MessageComponent
{
    Q_OBJECT
    Q_INTERFACES(vq::MessageComponent)

public:
    RecordingComponent(Recorder &recorder)
        : m_recorder(recorder)
        , m_number(++recorder.created)
    {
        ++m_recorder.alive;
    }
    ~RecordingComponent() override { --m_recorder.alive; }

    int ShowMessage(QString &text, int &style, int &flags, QString &title) override
    {
        m_recorder.calls.append({m_number, text, style, flags, title});
        if (m_recorder.failInShowMessage)
            throw std::runtime_error("the component failed");
        return 1;
    }

private:
    Recorder &m_recorder;
    int m_number;
};

class RecordingFactory : public vq::ClassFactory
{
public:
    explicit RecordingFactory(Recorder &recorder)
        : m_recorder(recorder)
    { }
    QObject *CreateInstance(QWidget *) override { return new RecordingComponent(m_recorder); }
    void LockServer(bool) override { }

private:
    Recorder &m_recorder;
};

// Registers a class object for the message component's id for the life of the guard.
class ProcessRegistration
{
public:
    explicit ProcessRegistration(vq::ClassFactory *factory)
        : m_cookie(vq::Registry::registerClassObject(vq::MessageComponent::classId(), factory))
    { }
    ~ProcessRegistration() { vq::Registry::revokeClassObject(m_cookie); }

private:
    int m_cookie;
};

} // namespace vq::test
