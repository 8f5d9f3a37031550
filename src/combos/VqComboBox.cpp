#include "combos/VqComboBox.h"

#include "combos/ComboEntry.h"
#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "frame/modGeneral.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <functional>

namespace {

const bool registered = vq::registerClass<VqComboBox>();

constexpr int Enter = 13;

} // namespace

struct VqComboBox::Private
{
    QComboBox *combo1 = nullptr;
    bool validateData = false;
    bool emptyCheck = false;
    short maxLength = 25;

    // Qt selects the first item added to an empty list, and another item when the selected one goes; the
    // list of this control changes only what it holds, never the entry or which item is selected.
    void keepingEntry(const std::function<void()> &change, int selectedAfter)
    {
        const QString entry = combo1->currentText();
        const QSignalBlocker quiet(combo1);
        change();
        combo1->setCurrentIndex(selectedAfter);
        combo1->setEditText(entry);
    }

    QStringList items() const
    {
        QStringList list;
        for (int i = 0; i < combo1->count(); ++i)
            list << combo1->itemText(i);
        return list;
    }
};

VqComboBox::VqComboBox(QWidget *parent)
    : vq::EntryControl(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqComboBox"));
    setDesignSize("VqComboBox");
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);

    d->combo1 = new QComboBox(this);
    d->combo1->setObjectName(QStringLiteral("Combo1"));
    d->combo1->setEditable(true);
    // The entry is the clerk's own: no completion, no items added on ENTER, no item chosen for them when
    // the typed text happens to equal one.
    d->combo1->setInsertPolicy(QComboBox::NoInsert);
    d->combo1->setCompleter(nullptr);
    disconnect(d->combo1->lineEdit(), &QLineEdit::editingFinished, d->combo1, nullptr);
    vq::twips::setGeometry(d->combo1, 0, 0, 3405, 315);
    setEntryField(d->combo1->lineEdit(), d->combo1);
    placeFocusMarker(3420, -105);

    connect(d->combo1->lineEdit(), &QLineEdit::textEdited, this, &VqComboBox::Change);
    connect(d->combo1, &QComboBox::activated, this, &VqComboBox::Click);
}

VqComboBox::~VqComboBox() = default;

const vq::PropertyTable &VqComboBox::propertyTable() const
{
    using vq::BagType;
    using Entry = vq::PropertyTable::Entry;
    static const vq::PropertyTable table(
        {
            // The host adds the items at run time, after loading: a saved index applies only to a list that
            // is already filled.
            Entry("ListIndex", BagType::Int16, short(0))
                .readWhen<VqComboBox>([](const VqComboBox &c) { return c.d->combo1->count() > 0; })
                .set<VqComboBox>(
                    [](VqComboBox &c, const QVariant &v) { c.d->combo1->setCurrentIndex(v.toInt()); }),
            Entry("Text", BagType::String, QStringLiteral("Combo1"))
                .set<VqComboBox>(
                    [](VqComboBox &c, const QVariant &v) { c.d->combo1->setEditText(v.toString()); }),
            {"ValidateData", BagType::Boolean, false},
            {"EmptyCheck", BagType::Boolean, false},
            {"Enabled", BagType::Boolean, true},
            {"MaxLength", BagType::Int16, short(25)},
        },
        {"ListCount", "ListIndex", "Text", "ValidateData", "EmptyCheck", "Enabled", "MaxLength"});
    return table;
}

int VqComboBox::filterCharacter(int code)
{
    const vq::combos::ComboKeystroke r =
        vq::combos::filterComboCharacter(code, d->combo1->currentText(), d->maxLength);
    if (r.queueTab)
        moveFocus(true);
    // ENTER only moves on: passed to the widget it would end the editing there, and a dialog around the
    // control would take it as a press of its default button.
    return code == Enter ? 0 : r.code;
}

void VqComboBox::focusLeft()
{
    QLabel *image1 = focusMarker();
    const vq::combos::LeaveOutcome out =
        vq::combos::leaveEntry(d->combo1->currentText(), d->validateData, d->items());
    if (out.text != d->combo1->currentText()) {
        d->combo1->setEditText(out.text);
        Q_EMIT Change();
    }
    image1->hide();
    if (!out.refused)
        return;
    QString message = QStringLiteral("Invalid Select");
    vq::modGeneral::ShowWarning(message);
    image1->show();
    d->combo1->setFocus(Qt::OtherFocusReason);
}

void VqComboBox::AddItem(const QString &Item, const QVariant &Index)
{
    int at = d->combo1->count();
    if (Index.isValid()) {
        bool ok = false;
        at = Index.toInt(&ok);
        if (!ok)
            throw vq::Error(vq::Error::TypeMismatch);
        if (at < 0 || at > d->combo1->count())
            throw vq::Error(vq::Error::InvalidProcedureCall);
    }
    const int selected = d->combo1->currentIndex();
    d->keepingEntry(
        [&] { d->combo1->insertItem(at, Item); }, selected < 0 ? -1 : selected + (at <= selected));
}

short VqComboBox::ListCount() const
{
    return short(d->combo1->count());
}

short VqComboBox::ListIndex() const
{
    return short(d->combo1->currentIndex());
}

void VqComboBox::setListIndex(short index)
{
    if (index < -1 || index >= d->combo1->count())
        throw vq::Error(vq::Error::InvalidPropertyValue);
    d->combo1->setCurrentIndex(index);
    PropertyChanged(QStringLiteral("ListIndex"));
}

void VqComboBox::Refresh()
{
    d->combo1->update();
}

void VqComboBox::RemoveItem(short Index)
{
    if (Index < 0 || Index >= d->combo1->count())
        throw vq::Error(vq::Error::InvalidProcedureCall);
    const int selected = d->combo1->currentIndex();
    d->keepingEntry(
        [&] { d->combo1->removeItem(Index); }, selected == Index ? -1 : selected - (Index < selected));
}

QString VqComboBox::Text() const
{
    return d->combo1->currentText();
}

void VqComboBox::setText(const QString &text)
{
    d->combo1->setEditText(text);
    PropertyChanged(QStringLiteral("Text"));
    Q_EMIT Change();
}

bool VqComboBox::ValidateData() const
{
    return d->validateData;
}

void VqComboBox::setValidateData(bool validate)
{
    d->validateData = validate;
    PropertyChanged(QStringLiteral("ValidateData"));
}

bool VqComboBox::EmptyCheck() const
{
    return d->emptyCheck;
}

void VqComboBox::setEmptyCheck(bool check)
{
    d->emptyCheck = check;
    PropertyChanged(QStringLiteral("EmptyCheck"));
}

void VqComboBox::Clear()
{
    d->combo1->clear();
}

short VqComboBox::MaxLength() const
{
    return d->maxLength;
}

void VqComboBox::setMaxLength(short length)
{
    d->maxLength = length;
    PropertyChanged(QStringLiteral("MaxLength"));
}

void VqComboBox::InitProperties()
{
    d->maxLength = 25;
    d->validateData = false;
    d->emptyCheck = false;
}

void VqComboBox::ReadProperties(vq::PropertyBag &bag)
{
    applyAmbientSurface();
    vq::EntryControl::ReadProperties(bag);
}

void VqComboBox::Resize()
{
    layOutBesideMarker(d->combo1);
}
