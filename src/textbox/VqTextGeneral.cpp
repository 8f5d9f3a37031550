#include "textbox/VqTextGeneral.h"

#include "frame/ClassTable.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqTextGeneral"), [](QWidget *parent) -> QObject * { return new VqTextGeneral(parent); });

// The widgets that carry the raw values sit beyond the page's right edge, out of the designer's sight.
constexpr int Hidden = 8820;

template<typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    vq::twips::setGeometry(widget, left, top, width, height);
    return widget;
}

} // namespace

struct VqTextGeneral::Private
{
    QRadioButton *optCase[4] = {};
    QRadioButton *optType[3] = {};
    QButtonGroup *caseGroup = nullptr;
    QButtonGroup *typeGroup = nullptr;
    QCheckBox *chkDeciAllowed = nullptr;
    QCheckBox *chkThousandAllowed = nullptr;
    QCheckBox *chkEmptyCheck = nullptr;
    QLineEdit *txtpCase = nullptr;
};

VqTextGeneral::VqTextGeneral(QWidget *parent)
    : vq::PropertyPage(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqTextGeneral"));
    setWindowTitle(tr("General"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    setPageSize(6060, 4320);

    auto *frame = place(new QFrame(this), "fraVqTextBox", 0, 0, 6060, 4320);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);

    auto *changeCase = place(new QGroupBox(tr("Change Case"), frame), "fraChangeCase", 105, 285, 2310, 2235);
    d->caseGroup = new QButtonGroup(this);
    const QString cases[] = {tr("&General"), tr("&Upper Case"), tr("&Lower Case"), tr("&Sentence Case")};
    const int caseTops[] = {420, 865, 1310, 1755};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "optCase_" + QByteArray::number(i);
        d->optCase[i] =
            place(new QRadioButton(cases[i], changeCase), name.constData(), 225, caseTops[i], 1935, 300);
        d->caseGroup->addButton(d->optCase[i], i);
    }

    auto *dataType = place(new QGroupBox(tr("Data Type"), frame), "fraDataType", 2670, 285, 3000, 2790);
    d->typeGroup = new QButtonGroup(this);
    const QString types[] = {tr("&General"), tr("&Character Only"), tr("&Number Only")};
    const int typeTops[] = {450, 960, 1470};
    for (int i = 0; i < 3; ++i) {
        const QByteArray name = "optType_" + QByteArray::number(i);
        d->optType[i] =
            place(new QRadioButton(types[i], dataType), name.constData(), 135, typeTops[i], 2640, 300);
        d->typeGroup->addButton(d->optType[i], i);
    }
    d->chkDeciAllowed =
        place(new QCheckBox(tr("Decimal Allowed"), dataType), "chkDeciAllowed", 435, 1905, 2400, 300);
    d->chkThousandAllowed =
        place(new QCheckBox(tr("Thousand Seperator"), dataType), "chkThousandAllowed", 435, 2250, 2400, 300);
    d->chkDeciAllowed->setEnabled(false);
    d->chkThousandAllowed->setEnabled(false);

    d->chkEmptyCheck = place(new QCheckBox(tr("&Empty Check"), frame), "chkEmptyCheck", 285, 2670, 2160, 300);
    auto *note =
        place(new QLabel(tr("Note. Thousand Seperator affects the Maximum Length Property. Comma will "
                            "also occupy space. ( Ex. 1,200.00 )"),
                  frame),
            "Label1", 195, 3210, 5385, 450);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    d->optCase[0]->setChecked(true);
    d->optType[0]->setChecked(true);

    auto *hiddenThousand = place(new QCheckBox(QStringLiteral("ThousandSeperator"), this),
        "chkThousandSeperator", Hidden, 240, 2000, 300);
    auto *hiddenDecimal =
        place(new QCheckBox(QStringLiteral("pDecimal"), this), "chkpDecimal", Hidden, 600, 2000, 300);
    place(new QLabel(QStringLiteral("pDataType:"), this), "lblpDataType", Hidden, 960, 1200, 255);
    auto *hiddenDataType = place(new QLineEdit(this), "txtpDataType", Hidden, 1215, 1200, 315);
    place(new QLabel(QStringLiteral("pCase:"), this), "lblpCase", Hidden, 1590, 1200, 255);
    d->txtpCase = place(new QLineEdit(this), "txtpCase", Hidden, 1845, 1200, 315);
    // Out of sight, so out of the tab order too.
    QWidget *hiddenWidgets[] = {hiddenThousand, hiddenDecimal, hiddenDataType, d->txtpCase};
    for (QWidget *w : hiddenWidgets)
        w->setFocusPolicy(Qt::NoFocus);

    const auto markChanged = [this] { setChanged(true); };
    connect(d->typeGroup, &QButtonGroup::idClicked, this, &VqTextGeneral::typeClicked);
    connect(d->caseGroup, &QButtonGroup::idClicked, this, &VqTextGeneral::caseClicked);
    for (QCheckBox *c :
        {d->chkEmptyCheck, d->chkDeciAllowed, d->chkThousandAllowed, hiddenThousand, hiddenDecimal})
        connect(c, &QCheckBox::clicked, this, markChanged);
    for (QLineEdit *t : {hiddenDataType, d->txtpCase})
        connect(t, &QLineEdit::textChanged, this, markChanged);
}

VqTextGeneral::~VqTextGeneral() = default;

void VqTextGeneral::typeClicked()
{
    const bool number = d->optType[2]->isChecked();
    d->chkDeciAllowed->setEnabled(number);
    d->chkThousandAllowed->setEnabled(number);
    if (number) {
        d->optCase[0]->setChecked(true);
        caseClicked();
    }
    setChanged(true);
}

void VqTextGeneral::caseClicked()
{
    // A number field has no case of its own: choosing one there is no change worth applying.
    if (!d->optType[2]->isChecked())
        setChanged(true);
}

namespace {

int readInteger(const QVariant &value, const char *name)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok)
        throw vq::Error(vq::Error::TypeMismatch,
            QStringLiteral("Type mismatch: property \"%1\" holds \"%2\" where a number is expected")
                .arg(QString::fromLatin1(name), value.toString()));
    return n;
}

// A check box's value is 0 unchecked, 1 checked, 2 grey; Qt numbers the last two the other way round.
Qt::CheckState toCheckState(int value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

short fromCheckState(Qt::CheckState state)
{
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

[[noreturn]] void noOption(const char *name, int value, int last)
{
    throw vq::Error(vq::Error::NoSuchControlArrayElement,
        QStringLiteral("Control array element '%1' doesn't exist: %2 %1 has no option button on the General "
                       "page (0 to %3)")
            .arg(value)
            .arg(QString::fromLatin1(name))
            .arg(last));
}

} // namespace

void VqTextGeneral::SelectionChanged()
{
    const int pCase = readInteger(readProperty("pCase"), "pCase");
    d->txtpCase->setText(QString::number(pCase));

    d->chkThousandAllowed->setChecked(
        readInteger(readProperty("ThousandSeperator"), "ThousandSeperator") & 1);
    setChanged(true);
    d->chkDeciAllowed->setChecked(readInteger(readProperty("pDecimal"), "pDecimal") & 1);
    setChanged(true);

    const int dataType = readInteger(readProperty("pDataType"), "pDataType");
    if (dataType < 0 || dataType > 2)
        noOption("pDataType", dataType, 2);
    d->optType[dataType]->setChecked(true);
    typeClicked();

    const int caseRule = readInteger(readProperty("pCase"), "pCase");
    if (caseRule < 0 || caseRule > 3)
        noOption("pCase", caseRule, 3);
    d->optCase[caseRule]->setChecked(true);
    caseClicked();

    const int emptyCheck = readInteger(readProperty("EmptyCheck"), "EmptyCheck");
    if (emptyCheck < 0 || emptyCheck > 2)
        throw vq::Error(vq::Error::InvalidPropertyValue,
            QStringLiteral("Invalid property value: EmptyCheck %1 is not a check box value (0, 1 or 2)")
                .arg(emptyCheck));
    d->chkEmptyCheck->setCheckState(toCheckState(emptyCheck));
    setChanged(true);
}

void VqTextGeneral::ApplyChanges()
{
    writeProperty("ThousandSeperator", d->chkThousandAllowed->checkState() == Qt::Checked);
    writeProperty("pDecimal", d->chkDeciAllowed->checkState() == Qt::Checked);
    writeProperty("pDataType",
        QVariant::fromValue(uchar(d->optType[0]->isChecked() ? 0
                : d->optType[1]->isChecked()                 ? 1
                                                             : 2)));
    const uchar caseRule = d->optCase[0]->isChecked() ? 0
        : d->optCase[1]->isChecked()                  ? 1
        : d->optCase[2]->isChecked()                  ? 2
                                                      : 3;
    writeProperty("pCase", QVariant::fromValue(caseRule));
    writeProperty("EmptyCheck", fromCheckState(d->chkEmptyCheck->checkState()));
}
