#pragma once

#include "frame/EntryControl.h"

#include <QDateTime>
#include <QVariant>

#include <memory>

namespace vq {
class PropertyTable;
}

// A date field for data-entry forms: the user types the digits of a date into an edit field (Text1),
// which puts in the dashes itself (dd-mm-yyyy), or presses F4 to pick the date from the calendar of the
// date picker (DTPicker1) that lies behind the field with only its drop-down button showing. When the
// focus leaves the control, a non-empty entry must be a date from MinDate to MaxDate: otherwise the user is
// warned and sent back, and an entry that is no date at all silently becomes today's date.
//
// Text and Value follow each other one way each: a text that reads as a date under the locale moves Value
// at every change; a date picked in the calendar becomes the text when the calendar closes. Setting Value
// leaves the text alone.
class VqDTPicker : public vq::EntryControl
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QDateTime MaxDate READ MaxDate WRITE setMaxDate)
    Q_PROPERTY(QDateTime MinDate READ MinDate WRITE setMinDate)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)

public:
    explicit VqDTPicker(QWidget *parent = nullptr);
    ~VqDTPicker() override;

    QString Text() const;
    void setText(const QString &text);
    // The inclusive bounds checked when the focus leaves; dates in UTC without a zone, time of day
    // included. Not validated: a MinDate after MaxDate refuses every date. The calendar offers every date
    // regardless.
    QDateTime MaxDate() const;
    void setMaxDate(const QDateTime &date);
    QDateTime MinDate() const;
    void setMinDate(const QDateTime &date);
    // The picker's date: a QDateTime or null. Setting takes what the picker takes (a date, an automation
    // date, a text that reads as a date, null) and throws its errors: 13 for no date, 380 for a date before
    // 1601 or after 9999.
    QVariant Value() const;
    void setValue(const QVariant &value);

    void InitProperties() override;
    void ReadProperties(vq::PropertyBag &bag) override;
    const vq::PropertyTable &propertyTable() const override;

protected:
    void focusLeft() override;
    void keyDownSteps(short keyCode, short shift) override;
    int filterCharacter(int code) override;
    void Resize() override;
    void Show() override;

private:
    void pickerGotFocus();
    void calendarClosed();
    void textChanged();

    struct Private;
    std::unique_ptr<Private> d;
};
