#include "combos/VqComboGeneral.h"

#include "frame/Boolean.h"
#include "frame/ClassTable.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const bool registered = vq::ClassTable::registerConstructor(QStringLiteral("VqComboGeneral"),
    [](QWidget *parent) -> QObject * { return new VqComboGeneral(parent); });

template<typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    vq::twips::setGeometry(widget, left, top, width, height);
    return widget;
}

// A flag read by name counts as set only when it is true: a Qt bool true, or the 16-bit true.
bool isSet(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok && n == vq::BooleanTrue;
}

} // namespace

struct VqComboGeneral::Private
{
    QCheckBox *chkValidateData = nullptr;
    QCheckBox *chkEmptyCheck = nullptr;
};

VqComboGeneral::VqComboGeneral(QWidget *parent)
    : vq::PropertyPage(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqComboGeneral"));
    setWindowTitle(tr("General"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    setPageSize(5925, 3495);

    auto *frame = place(new QFrame(this), "Frame1", 30, -30, 5775, 3405);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(new QLabel(tr("DSNName"), frame), "lblDSNName", 135, 315, 900, 225);
    auto *dsn = place(new QLineEdit(frame), "txtDSNName", 135, 555, 4950, 330);
    place(new QLabel(QStringLiteral("Ex. d:\\korData\\kor.dsn"), frame), "Label1", 135, 915, 1905, 225);
    place(new QLabel(tr("Query"), frame), "lblQuery", 135, 1335, 480, 225);
    auto *query = place(new QPlainTextEdit(frame), "txtQuery", 135, 1590, 4950, 945);
    query->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    query->setTabChangesFocus(true);
    d->chkValidateData =
        place(new QCheckBox(tr("Validate Data"), frame), "chkValidateData", 135, 2805, 1575, 300);
    d->chkEmptyCheck = place(new QCheckBox(tr("Empty Check"), frame), "chkEmptyCheck", 2250, 2805, 1575, 300);

    setTabOrder(dsn, query);
    setTabOrder(query, d->chkValidateData);
    setTabOrder(d->chkValidateData, d->chkEmptyCheck);

    for (QCheckBox *c : {d->chkValidateData, d->chkEmptyCheck})
        connect(c, &QCheckBox::clicked, this, [this] { setChanged(true); });
}

VqComboGeneral::~VqComboGeneral() = default;

void VqComboGeneral::SelectionChanged()
{
    d->chkValidateData->setChecked(isSet(readProperty("ValidateData")));
    d->chkEmptyCheck->setChecked(isSet(readProperty("EmptyCheck")));
}

void VqComboGeneral::ApplyChanges()
{
    writeProperty("ValidateData", d->chkValidateData->checkState() == Qt::Checked);
    writeProperty("EmptyCheck", d->chkEmptyCheck->checkState() == Qt::Checked);
}
