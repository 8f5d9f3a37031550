#pragma once

#include "frame/EntryControl.h"
#include "textbox/KeystrokeFilter.h"

#include <memory>

class QObject;

// The library's single-line data-entry field: an edit field (Text1) that filters keystrokes by data type,
// converts case, moves between fields on ENTER and the vertical arrows, formats numbers when it is left
// and keeps the plain entry as Value; a focus marker (Image1) stands beside it while it has the focus.
class VqTextBox : public vq::EntryControl
{
    Q_OBJECT
    // Byte and 16-bit properties are int to the meta-object, the type Designer, .ui files and uic know;
    // the accessors keep their own types.
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(int pCase READ pCase WRITE setpCase)
    Q_PROPERTY(int pDataType READ pDataType WRITE setpDataType)
    Q_PROPERTY(bool pDecimal READ pDecimal WRITE setpDecimal)
    Q_PROPERTY(bool ThousandSeperator READ ThousandSeperator WRITE setThousandSeperator)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int EmptyCheck READ EmptyCheck WRITE setEmptyCheck)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)

public:
    using DataType = vq::textbox::DataType;
    using Case = vq::textbox::CaseRule;
    using enum vq::textbox::DataType;
    using enum vq::textbox::CaseRule;

    explicit VqTextBox(QWidget *parent = nullptr);
    ~VqTextBox() override;

    // 0 left, 1 right, 2 centre. Setting it does not change the alignment saved at Show, so a change made
    // at run time lasts until the field is next left.
    short Alignment() const;
    void setAlignment(short alignment);
    QString PasswordChar() const;
    void setPasswordChar(const QString &mask);
    uchar pCase() const;
    void setpCase(uchar rule);
    uchar pDataType() const;
    void setpDataType(uchar type);
    // Number fields accept one full stop and show two decimals. Default true.
    bool pDecimal() const;
    void setpDecimal(bool flag);
    // Number fields show thousand separators. Default true.
    bool ThousandSeperator() const;
    void setThousandSeperator(bool flag);
    int MaxLength() const;
    void setMaxLength(int length);
    // The plain form of the entry, as stored when the field was last left (or set).
    QString Value() const;
    void setValue(const QString &value);
    QString Text() const;
    // Puts the text into the field and runs the leave-field routine at once.
    void setText(const QString &text);
    short EmptyCheck() const;
    void setEmptyCheck(short flag);

    // Accepts a connection and a query and keeps neither: lookups are the host's business (HelpAction).
    Q_INVOKABLE void setHelp(QObject *aobjCon, const QString &asQuery);

    void InitProperties() override;
    void ReadProperties(vq::PropertyBag &bag) override;
    const vq::PropertyTable &propertyTable() const override;

Q_SIGNALS:
    // F1 or a double-click in the field: the user asks for a lookup.
    void HelpAction();
    // Part of the event set for hosts that expect it; the text box never raises it.
    void Validate(bool &Cancel);

protected:
    void Resize() override;
    void Show() override;

    void focusEntered() override;
    void focusLeft() override;
    void keyDownSteps(short keyCode, short shift) override;
    int filterCharacter(int code) override;
    void mousePressed(QMouseEvent *event) override;
    void doubleClicked() override;

private:
    void leaveField();

    struct Private;
    std::unique_ptr<Private> d;
};
