#pragma once

#include <QDate>
#include <QDateTime>
#include <QVariant>
#include <QWidget>

#include <memory>

class QCalendarWidget;

namespace vq {

// A date field with a drop-down calendar, as forms expect of a date-time picker.
//
//     auto *picker = new vq::DTPicker(form);
//     picker->setValue(QDate(2001, 4, 18));          // or an automation date (double), or a text
//     connect(picker, &vq::DTPicker::CloseUp, ...);  // the calendar has closed, by a pick or not
//     QVariant v = picker->Value();                  // a QDateTime (UTC, no zone), or null
//
// The calendar opens on a click on the drop-down button, on F4 and on Alt+Down in the field; it closes on
// a pick (click or ENTER), on Escape, F4 or Alt+Up, and on a click outside it. Every closing raises CloseUp,
// after a picked date has become Value. The field itself only shows the date.
//
// TabStop false keeps the picker out of the tab order; a click or setFocus still gives it the focus.
class DTPicker : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)

public:
    explicit DTPicker(QWidget *parent = nullptr);
    ~DTPicker() override;

    // The dates a picker can hold, both inclusive.
    static QDate minimumDate() { return QDate(1601, 1, 1); }
    static QDate maximumDate() { return QDate(9999, 12, 31); }

    // The current date and time of day as a QDateTime in UTC (zone-less, as an automation date is), or
    // a null QVariant when the picker holds no date.
    QVariant Value() const;
    // Takes a QDateTime or QDate, a number (an automation date: days since 30 December 1899), or a text that
    // reads as a date under the default locale; a null or invalid QVariant clears the picker. Throws
    // vq::Error 13 for a text that is no date or a value of another type, vq::Error 380 for a date outside
    // minimumDate()..maximumDate(); the value is unchanged then.
    void setValue(const QVariant &value);

    bool TabStop() const;
    void setTabStop(bool on);

    bool isDroppedDown() const;
    // Opens the calendar at the current date (today when the picker is empty) and gives it the focus.
    void dropDown();
    // Closes the calendar without picking; CloseUp follows.
    void closeUp();
    // The calendar of the drop-down (hidden while closed).
    QCalendarWidget *calendar() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // The value changed, by the host, by a pick or by the keys of the field.
    void Change();
    // The calendar is about to open.
    void DropDown();
    // The calendar has closed: by a pick, Escape, F4, Alt+Up or a click outside.
    void CloseUp();
    // The focus entered the picker from outside it (not coming back from its own calendar or another
    // window).
    void GotFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showValue();
    void pick(const QDate &date);
    bool handleFieldKey(QKeyEvent *event);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
