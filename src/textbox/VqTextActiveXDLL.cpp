#include "textbox/VqTextActiveXDLL.h"

#include "frame/ClassTable.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {
const bool registered = vq::ClassTable::registerConstructor(QStringLiteral("VqTextActiveXDLL"),
    [](QWidget *parent) -> QObject * { return new VqTextActiveXDLL(parent); });
} // namespace

VqTextActiveXDLL::VqTextActiveXDLL(QWidget *parent)
    : vq::PropertyPage(parent)
{
    setObjectName(QStringLiteral("VqTextActiveXDLL"));
    setWindowTitle(QStringLiteral("VqTextActiveXDLL"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    setPageSize(6045, 3345);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    vq::twips::setGeometry(frame, 120, 120, 5805, 3105);

    struct Field
    {
        const char *label;
        const char *labelName;
        const char *fieldName;
    };
    const Field fields[] = {
        {"ActiveX DLL Name.ClassName", "lblDLLName", "txtDLLName"},
        {"DLLMethod1:", "lblDLLMethod1", "txtDLLMethod1"},
        {"DLLMethod2:", "lblDLLMethod2", "txtDLLMethod2"},
        {"DLLMethod3:", "lblDLLMethod3", "txtDLLMethod3"},
    };
    int top = 480;
    for (const Field &f : fields) {
        auto *label = new QLabel(QString::fromLatin1(f.label), frame);
        label->setObjectName(QString::fromLatin1(f.labelName));
        vq::twips::setGeometry(label, 240, top + 30, 2580, 255);
        auto *field = new QLineEdit(frame);
        field->setObjectName(QString::fromLatin1(f.fieldName));
        vq::twips::setGeometry(field, 2880, top, 2685, 315);
        label->setBuddy(field);
        top += 660;
    }
}

VqTextActiveXDLL::~VqTextActiveXDLL() = default;
