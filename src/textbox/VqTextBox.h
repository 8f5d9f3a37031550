#pragma once

#include "frame/Control.h"

#include <memory>

class QKeyEvent;
class QObject;

// The library's single-line data-entry field: an edit field (Text1) that filters keystrokes by data type,
// converts case, moves between fields on ENTER and the vertical arrows, formats numbers when it is left
// and keeps the plain entry as Value; a focus marker (Image1) stands beside it while it has the focus.
//
// Booleans of the control's own (pDecimal, ThousandSeperator) are 16-bit values where true is -1; any
// other value counts as false.
class VqTextBox : public vq::Control
{
    Q_OBJECT
    Q_PROPERTY(short Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(uchar pCase READ pCase WRITE setpCase)
    Q_PROPERTY(uchar pDataType READ pDataType WRITE setpDataType)
    Q_PROPERTY(short pDecimal READ pDecimal WRITE setpDecimal)
    Q_PROPERTY(short ThousandSeperator READ ThousandSeperator WRITE setThousandSeperator)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(short EmptyCheck READ EmptyCheck WRITE setEmptyCheck)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)

public:
    enum DataType : uchar { GeneralData = 0, CharacterOnly = 1, NumberOnly = 2 };
    enum Case : uchar { GeneralCase = 0, UpperCase = 1, LowerCase = 2, SentenceCase = 3 };

    explicit VqTextBox(QWidget *parent = nullptr);
    ~VqTextBox() override;

    // 0 left, 1 right, 2 centre. Setting it does not change the alignment saved at Show, so a change made
    // at run time lasts until the field is next left.
    short Alignment() const;
    void setAlignment(short alignment);
    bool Locked() const;
    void setLocked(bool locked);
    QString PasswordChar() const;
    void setPasswordChar(const QString &mask);
    uchar pCase() const;
    void setpCase(uchar rule);
    uchar pDataType() const;
    void setpDataType(uchar type);
    short pDecimal() const;
    void setpDecimal(short flag);
    short ThousandSeperator() const;
    void setThousandSeperator(short flag);
    int MaxLength() const;
    void setMaxLength(int length);
    bool Enabled() const;
    void setEnabledProperty(bool enabled);
    QString ToolTipText() const;
    void setToolTipText(const QString &tip);
    // The plain form of the entry, as stored when the field was last left (or set).
    QString Value() const;
    void setValue(const QString &value);
    QString Text() const;
    // Puts the text into the field and runs the leave-field routine at once.
    void setText(const QString &text);
    short EmptyCheck() const;
    void setEmptyCheck(short flag);
    uint ForeColor() const;
    void setForeColor(uint color);

    // Accepts a connection and a query and keeps neither: lookups are the host's business (HelpAction).
    Q_INVOKABLE void setHelp(QObject *aobjCon, const QString &asQuery);

    // 1 while the form is being designed (the control shows a border), 0 at run time.
    int surfaceStyle() const;

    void InitProperties() override;
    void ReadProperties(vq::PropertyBag &bag) override;
    void WriteProperties(vq::PropertyBag &bag) override;

Q_SIGNALS:
    // After the control's own handling of every key-down; the handler may change both values, and the
    // field goes on with what it leaves there (KeyCode 0 cancels the key).
    void KeyDown(short &KeyCode, short &Shift);
    // F1 or a double-click in the field: the user asks for a lookup.
    void HelpAction();
    // Part of the event set for hosts that expect it; the text box never raises it.
    void Validate(bool &Cancel);

protected:
    void Resize() override;
    void Show() override;
    void paintEvent(QPaintEvent *event) override;

private:
    void enterField();
    void leaveField();
    bool handleKey(QKeyEvent *event);

    struct Private;
    std::unique_ptr<Private> d;
};
