#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace vq {

// A failure that reaches the host: the platform's error number and its description.
// Code that a host calls throws it; event handlers catch it at their boundary and hand it to
// reportError(), because an exception must never unwind through Qt's event loop.
class Error : public std::exception
{
public:
    enum Number {
        InvalidProcedureCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        TypeMismatch = 13,
        FileNotFound = 53,
        PathFileAccessError = 75,
        InvalidUseOfNull = 94,
        InvalidFileFormat = 321,
        InvalidPropertyValue = 380,
        InvalidPropertyArrayIndex = 381,
        NoSuchControlArrayElement = 340,
        NoClientSite = 398,
        PropertyNotSupported = 438,
        BadRecordsetArguments = 3001,
        NoCurrentRecord = 3021,
        RecordsetOperationNotSupported = 3251,
        ItemNotFound = 3265,
        ObjectClosed = 3704,
        ConnectionNotUsable = 3709,
        IndexOutOfBounds = 35600,
        ElementNotFound = 35601,
        KeyNotUnique = 35602,
        InvalidColumnIndex = 6148,
        ClassNotRegistered = 0x80040154 & 0x7fffffff,
    };

    // The standard description of a known number.
    explicit Error(int number);
    Error(int number, QString description);

    int number() const noexcept { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

using ErrorHandler = std::function<void(const Error &)>;

// Where errors raised inside event handlers go. The default handler logs them with qWarning.
void reportError(const Error &error);
// Installs a host's handler; an empty handler restores the default. Returns the previous one.
ErrorHandler setErrorHandler(ErrorHandler handler);

} // namespace vq
