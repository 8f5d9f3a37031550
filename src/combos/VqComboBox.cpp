#include "combos/VqComboBox.h"

#include "combos/ComboEntry.h"
#include "frame/BagValues.h"
#include "frame/ClassTable.h"
#include "frame/FocusMarker.h"
#include "frame/PropertyBag.h"
#include "frame/modGeneral.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>

#include <functional>

namespace {

const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqComboBox"), [](QWidget *parent) -> QObject * { return new VqComboBox(parent); });

// A window being deactivated or a pop-up opening (the combo's own list among them) is not the user leaving
// the field, and the focus coming back from them is not the user entering it again.
bool movesBetweenFields(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// Combo1: a combo box whose focus and keys the control sees first.
class ComboField : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> onFocusIn;
    std::function<void()> onFocusOut;
    std::function<bool(QKeyEvent *)> onKeyPress;

    void deliverKey(QKeyEvent *event) { QComboBox::keyPressEvent(event); }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QComboBox::focusInEvent(event);
        if (m_entered || !movesBetweenFields(event->reason()))
            return;
        m_entered = true;
        guarded(onFocusIn);
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        QComboBox::focusOutEvent(event);
        if (!m_entered || !movesBetweenFields(event->reason()))
            return;
        m_entered = false;
        guarded(onFocusOut);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        bool handled = false;
        guarded([&] { handled = onKeyPress(event); });
        if (!handled)
            QComboBox::keyPressEvent(event);
    }

private:
    static void guarded(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const vq::Error &e) {
            vq::reportError(e);
        }
    }
    bool m_entered = false;
};

} // namespace

struct VqComboBox::Private
{
    ComboField *combo1 = nullptr;
    QLabel *image1 = nullptr;
    bool validateData = false;
    bool emptyCheck = false;
    short maxLength = 25;
    int surfaceStyle = 0;

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
    : vq::Control(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqComboBox"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);
    setFocusPolicy(Qt::NoFocus);

    d->combo1 = new ComboField(this);
    d->combo1->setObjectName(QStringLiteral("Combo1"));
    d->combo1->setEditable(true);
    // The entry is the clerk's own: no completion, no items added on ENTER, no item chosen for them when
    // the typed text happens to equal one.
    d->combo1->setInsertPolicy(QComboBox::NoInsert);
    d->combo1->setCompleter(nullptr);
    disconnect(d->combo1->lineEdit(), &QLineEdit::editingFinished, d->combo1, nullptr);
    setFocusProxy(d->combo1);

    d->image1 = new QLabel(this);
    d->image1->setObjectName(QStringLiteral("Image1"));
    d->image1->setPixmap(vq::focusMarkerPixmap(16));
    d->image1->setAlignment(Qt::AlignCenter);
    d->image1->hide();

    resize(vq::twips::toPixelsX(4020, this), vq::twips::toPixelsY(315, this));
    vq::twips::setGeometry(d->combo1, 0, 0, 3405, 315);
    vq::twips::setGeometry(d->image1, 3420, -105, 480, 480);

    d->combo1->onFocusIn = [this] { enterField(); };
    d->combo1->onFocusOut = [this] { leaveField(); };
    d->combo1->onKeyPress = [this](QKeyEvent *e) { return handleKey(e); };
    connect(d->combo1->lineEdit(), &QLineEdit::textEdited, this, &VqComboBox::Change);
    connect(d->combo1, &QComboBox::activated, this, &VqComboBox::Click);
}

VqComboBox::~VqComboBox() = default;

void VqComboBox::enterField()
{
    d->image1->show();
}

bool VqComboBox::handleKey(QKeyEvent *e)
{
    using namespace vq::keys;
    short keyCode = virtualKey(e->key());
    short shift = shiftState(e->modifiers());
    const short pressed = keyCode;
    Q_EMIT KeyDown(keyCode, shift);
    if (keyCode != pressed) {
        // The host's handler replaced the key (0 cancels it).
        if (keyCode != 0) {
            QKeyEvent changed(e->type(), qtKey(keyCode), modifiers(shift));
            d->combo1->deliverKey(&changed);
        }
        return true;
    }

    const int code = characterCode(e);
    if (code < 0)
        return false;
    const vq::combos::ComboKeystroke r =
        vq::combos::filterComboCharacter(code, d->combo1->currentText(), d->maxLength);
    if (r.queueTab)
        vq::SendKeys(QStringLiteral("{TAB}"));
    if (r.code == 0 || code == 13)
        return true; // ENTER only moves on: it neither picks nor inserts an item
    return false;
}

void VqComboBox::leaveField()
{
    const vq::combos::LeaveOutcome out =
        vq::combos::leaveEntry(d->combo1->currentText(), d->validateData, d->items());
    if (out.text != d->combo1->currentText())
        d->combo1->setEditText(out.text);
    d->image1->hide();
    if (!out.refused)
        return;
    QString message = QStringLiteral("Invalid Select");
    vq::modGeneral::ShowWarning(message);
    d->image1->show();
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

bool VqComboBox::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void VqComboBox::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    PropertyChanged(QStringLiteral("Enabled"));
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

int VqComboBox::surfaceStyle() const
{
    return d->surfaceStyle;
}

void VqComboBox::InitProperties()
{
    d->maxLength = 25;
    d->validateData = false;
    d->emptyCheck = false;
}

void VqComboBox::ReadProperties(vq::PropertyBag &bag)
{
    using namespace vq::bag;
    d->surfaceStyle = ambientProperties().UserMode ? 0 : 1;
    update();
    // The host adds the items at run time, after loading: a saved index applies only to a list that is
    // already filled.
    if (d->combo1->count() > 0)
        d->combo1->setCurrentIndex(readInt16(bag, QStringLiteral("ListIndex"), 0));
    d->combo1->setEditText(readString(bag, QStringLiteral("Text"), QStringLiteral("Combo1")));
    d->validateData = readBool(bag, QStringLiteral("ValidateData"), false);
    d->emptyCheck = readBool(bag, QStringLiteral("EmptyCheck"), false);
    setEnabled(readBool(bag, QStringLiteral("Enabled"), true));
    d->maxLength = readInt16(bag, QStringLiteral("MaxLength"), 25);
}

void VqComboBox::WriteProperties(vq::PropertyBag &bag)
{
    bag.WriteProperty(QStringLiteral("ListIndex"), ListIndex(), short(0));
    bag.WriteProperty(QStringLiteral("Text"), Text(), QStringLiteral("Combo1"));
    bag.WriteProperty(QStringLiteral("ValidateData"), d->validateData, false);
    bag.WriteProperty(QStringLiteral("EmptyCheck"), d->emptyCheck, false);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("MaxLength"), d->maxLength, short(25));
}

void VqComboBox::Resize()
{
    // Each step may be refused (a control too narrow for its field); the next step still runs.
    try {
        vq::twips::setWidth(d->combo1, widthTwips() - (50 + vq::twips::geometry(d->image1).width()));
    } catch (const vq::Error &) { }
    try {
        const QRect field = vq::twips::geometry(d->combo1);
        vq::twips::setLeft(d->image1, field.x() + field.width() + 20);
    } catch (const vq::Error &) { }
}

void VqComboBox::paintEvent(QPaintEvent *event)
{
    vq::Control::paintEvent(event);
    if (d->surfaceStyle == 1) {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
