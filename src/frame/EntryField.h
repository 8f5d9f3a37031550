#pragma once

#include <QLineEdit>

#include <functional>

namespace vq {

// The edit field inside the library's entry controls: a QLineEdit whose focus, key and mouse handling a
// control hooks into, so that the control's rules run around the edit field's own behaviour and in the
// platform's order (focus entry after the field has taken the focus, keys before the field sees them).
class EntryField : public QLineEdit
{
    Q_OBJECT

public:
    explicit EntryField(QWidget *parent = nullptr);

    // Run after the field has taken the focus (the focus coming back from a pop-up or another window does
    // not count).
    std::function<void()> onFocusIn;
    // Run after the field has lost the focus to another widget (not to a pop-up or another window).
    std::function<void()> onFocusOut;
    // Sees every key press first; returns true when it has dealt with the key (the field then does not).
    std::function<bool(QKeyEvent *)> onKeyPress;
    std::function<void(QMouseEvent *)> onMousePress;
    std::function<void()> onDoubleClick;

    // Hands a key to the edit field's own handling, bypassing onKeyPress.
    void deliverKey(QKeyEvent *event);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_entered = false;
};

} // namespace vq
