#include "combos/VqComboGeneral.h"

#include "frame/Boolean.h"
#include "frame/ClassTable.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QPlainTextEdit>

namespace {

const bool registered = vq::registerClass<VqComboGeneral>();

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
    : vq::DataSourcePage(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqComboGeneral"));
    // The list pages' data-source fields, in a larger frame that also holds the two flags.
    setPageSize(5925, 3495);
    auto *frame = findChild<QFrame *>(QStringLiteral("Frame1"));
    vq::twips::setGeometry(frame, 30, -30, 5775, 3405);
    d->chkValidateData = new QCheckBox(tr("Validate Data"), frame);
    d->chkValidateData->setObjectName(QStringLiteral("chkValidateData"));
    vq::twips::setGeometry(d->chkValidateData, 135, 2805, 1575, 300);
    d->chkEmptyCheck = new QCheckBox(tr("Empty Check"), frame);
    d->chkEmptyCheck->setObjectName(QStringLiteral("chkEmptyCheck"));
    vq::twips::setGeometry(d->chkEmptyCheck, 2250, 2805, 1575, 300);
    setTabOrder(queryField(), d->chkValidateData);
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
