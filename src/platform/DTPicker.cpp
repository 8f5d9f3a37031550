#include "platform/DTPicker.h"

#include "platform/AutomationDate.h"
#include "platform/DateText.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace vq {

namespace {

// The drop-down window. A Qt pop-up closes itself on a click outside it; whatever closes it, the picker
// hears of it once, through onClosed, after the focus has gone back to the window below.
class CalendarPopup : public QFrame
{
public:
    explicit CalendarPopup(QWidget *owner)
        : QFrame(owner, Qt::Popup)
    {
        setObjectName(QStringLiteral("DTPickerDropDown"));
        setFrameShape(QFrame::Box);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        calendar = new QCalendarWidget(this);
        calendar->setObjectName(QStringLiteral("calendar"));
        calendar->setDateRange(DTPicker::minimumDate(), DTPicker::maximumDate());
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        // Dates are typed into the field; the calendar is for picking. Its own typed-date editor would
        // also leak its validator (Qt 6.4 frees it only when the editor closes, not with the calendar)
        // whenever a form closes within the editor's accept delay after a digit went to the calendar.
        calendar->setDateEditEnabled(false);
        layout->addWidget(calendar);
    }

    QCalendarWidget *calendar;
    std::function<void()> onClosed;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool altUp = event->key() == Qt::Key_Up && (event->modifiers() & Qt::AltModifier);
        if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F4 || altUp) {
            event->accept();
            hide();
            return;
        }
        QFrame::keyPressEvent(event);
    }

    void hideEvent(QHideEvent *event) override
    {
        QFrame::hideEvent(event);
        if (onClosed)
            onClosed();
    }
};

bool isFocusFromElsewhere(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

QDateTime checkedInRange(const QDateTime &value)
{
    if (!value.isValid() || value.date() < DTPicker::minimumDate() || value.date() > DTPicker::maximumDate())
        throw Error(Error::InvalidPropertyValue);
    return value;
}

} // namespace

struct DTPicker::Private
{
    QLineEdit *field = nullptr;
    QToolButton *button = nullptr;
    CalendarPopup *popup = nullptr;
    QDateTime value; // invalid: no date
    bool tabStop = true;
    bool focusInside = false;
};

DTPicker::DTPicker(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
    d->field = new QLineEdit(this);
    d->field->setObjectName(QStringLiteral("field"));
    // The date changes through the calendar or the host; the field shows it.
    d->field->setReadOnly(true);
    d->field->installEventFilter(this);
    setFocusProxy(d->field);

    d->button = new QToolButton(this);
    d->button->setObjectName(QStringLiteral("dropDownButton"));
    d->button->setArrowType(Qt::DownArrow);
    d->button->setFocusPolicy(Qt::ClickFocus);
    d->button->installEventFilter(this);
    connect(d->button, &QToolButton::pressed, this, [this] {
        if (isDroppedDown())
            closeUp();
        else
            dropDown();
    });

    d->popup = new CalendarPopup(this);
    d->popup->onClosed = [this] { Q_EMIT CloseUp(); };
    connect(d->popup->calendar, &QCalendarWidget::clicked, this, &DTPicker::pick);
    connect(d->popup->calendar, &QCalendarWidget::activated, this, &DTPicker::pick);

    setTabStop(true);
    d->value = QDateTime(QDate::currentDate(), QTime(0, 0), Qt::UTC);
    showValue();
    resize(twips::toPixelsX(1995, this), twips::toPixelsY(315, this));
}

DTPicker::~DTPicker() = default;

QVariant DTPicker::Value() const
{
    return d->value.isValid() ? QVariant(d->value) : QVariant();
}

void DTPicker::setValue(const QVariant &value)
{
    QDateTime next;
    if (value.isValid() && !value.isNull()) {
        switch (value.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime dt = value.toDateTime();
            next = checkedInRange(QDateTime(dt.date(), dt.time(), Qt::UTC));
            break;
        }
        case QMetaType::QDate:
            next = checkedInRange(QDateTime(value.toDate(), QTime(0, 0), Qt::UTC));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort: {
            // Beyond the years a QDate can hold the conversion gives nonsense; refuse those first.
            const double days = value.toDouble();
            if (!(days > -200000.0 && days < 3000000.0))
                throw Error(Error::InvalidPropertyValue);
            next = checkedInRange(AutomationDate(days).toDateTime());
            break;
        }
        case QMetaType::QString:
            next = checkedInRange(toDate(value.toString()));
            break;
        default:
            throw Error(Error::TypeMismatch);
        }
    }
    const bool changed = next != d->value || next.isValid() != d->value.isValid();
    d->value = next;
    showValue();
    if (changed)
        Q_EMIT Change();
}

bool DTPicker::TabStop() const
{
    return d->tabStop;
}

void DTPicker::setTabStop(bool on)
{
    d->tabStop = on;
    // Out of the tab chain, but a click or setFocus still reaches it.
    d->field->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

bool DTPicker::isDroppedDown() const
{
    return d->popup->isVisible();
}

void DTPicker::dropDown()
{
    if (isDroppedDown() || !isEnabled())
        return;
    Q_EMIT DropDown();
    QCalendarWidget *cal = d->popup->calendar;
    cal->setSelectedDate(d->value.isValid() ? d->value.date() : QDate::currentDate());
    d->popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        if (at.y() + d->popup->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - d->popup->height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - d->popup->width())));
    }
    d->popup->move(at);
    d->popup->show();
    cal->setFocus(Qt::PopupFocusReason);
}

void DTPicker::closeUp()
{
    if (isDroppedDown())
        d->popup->hide();
}

QCalendarWidget *DTPicker::calendar() const
{
    return d->popup->calendar;
}

QSize DTPicker::sizeHint() const
{
    return {twips::toPixelsX(1995, this), d->field->sizeHint().height()};
}

void DTPicker::pick(const QDate &date)
{
    try {
        const QTime time = d->value.isValid() ? d->value.time() : QTime(0, 0);
        setValue(QDateTime(date, time, Qt::UTC));
    } catch (const Error &e) {
        reportError(e);
    }
    closeUp();
}

void DTPicker::showValue()
{
    d->field->setText(d->value.isValid() ? dateToText(d->value) : QString());
}

bool DTPicker::handleFieldKey(QKeyEvent *event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && alt)) {
        dropDown();
        return true;
    }
    return false;
}

bool DTPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != d->field && watched != d->button)
        return QWidget::eventFilter(watched, event);
    try {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (!d->focusInside && isFocusFromElsewhere(static_cast<QFocusEvent *>(event)->reason())) {
                d->focusInside = true;
                Q_EMIT GotFocus();
            }
            break;
        case QEvent::FocusOut: {
            const QWidget *now = QApplication::focusWidget();
            const bool stays = now && (now == d->field || now == d->button || d->popup->isAncestorOf(now));
            if (!stays && isFocusFromElsewhere(static_cast<QFocusEvent *>(event)->reason()))
                d->focusInside = false;
            break;
        }
        case QEvent::KeyPress:
            if (watched == d->field)
                return handleFieldKey(static_cast<QKeyEvent *>(event));
            break;
        default:
            break;
        }
    } catch (const Error &e) {
        reportError(e);
    }
    return QWidget::eventFilter(watched, event);
}

void DTPicker::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int buttonWidth = qMin(width(), qMax(twips::toPixelsX(240, this), 1));
    d->button->setGeometry(width() - buttonWidth, 0, buttonWidth, height());
    d->field->setGeometry(0, 0, width() - buttonWidth, height());
}

void DTPicker::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        closeUp();
}

} // namespace vq
