#include "platform/Error.h"

#include <QDebug>

#include <utility>

namespace vq {

Error::Error(int number)
    : Error(number, standardDescription(number))
{ }

Error::Error(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toUtf8())
{ }

QString Error::standardDescription(int number)
{
    switch (number) {
    case InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case Overflow:
        return QStringLiteral("Overflow");
    case OutOfMemory:
        return QStringLiteral("Out of memory");
    case TypeMismatch:
        return QStringLiteral("Type mismatch");
    case FileNotFound:
        return QStringLiteral("File not found");
    case PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    case InvalidFileFormat:
        return QStringLiteral("Invalid file format");
    case InvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case InvalidPropertyArrayIndex:
        return QStringLiteral("Invalid property array index");
    case NoSuchControlArrayElement:
        return QStringLiteral("Control array element doesn't exist");
    case PropertyNotSupported:
        return QStringLiteral("Object doesn't support this property or method");
    case NoClientSite:
        return QStringLiteral("Client site not available");
    case BadRecordsetArguments:
        return QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are in "
                              "conflict with one another.");
    case NoCurrentRecord:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. Requested "
                              "operation requires a current record.");
    case RecordsetOperationNotSupported:
        return QStringLiteral("Current Recordset does not support this operation.");
    case ItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the requested name or "
                              "ordinal.");
    case ObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case ConnectionNotUsable:
        return QStringLiteral(
            "The connection cannot be used to perform this operation. It is either closed or "
            "invalid in this context.");
    case IndexOutOfBounds:
        return QStringLiteral("Index out of bounds");
    case ElementNotFound:
        return QStringLiteral("Element not found");
    case KeyNotUnique:
        return QStringLiteral("Key is not unique in collection");
    case InvalidColumnIndex:
        return QStringLiteral("Invalid column index");
    case ClassNotRegistered:
        return QStringLiteral("Class not registered");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

namespace {
ErrorHandler &handlerSlot()
{
    static ErrorHandler handler;
    return handler;
}
} // namespace

void reportError(const Error &error)
{
    if (const ErrorHandler &h = handlerSlot()) {
        h(error);
        return;
    }
    qWarning().noquote() << "VqControls error" << error.number() << error.description();
}

ErrorHandler setErrorHandler(ErrorHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

} // namespace vq
