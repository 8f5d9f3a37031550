#pragma once

#include "frame/Control.h"

#include <memory>

class QInputMethodEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;

namespace vq {

// The shared base of the controls built around an edit field with the focus marker beside it (text box,
// combo box, date picker, portable list, hierarchy combo). It hooks the control's edit field, tracks the
// focus entering and leaving the control as a whole, raises KeyDown with by-reference arguments, makes
// the arrow moves between fields and carries the Locked, ToolTipText and ForeColor plumbing of the field.
//
//   class VqFoo : public vq::EntryControl
//   {
//       Q_OBJECT
//       Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)   // accessors of the base,
//       Q_PROPERTY(bool Locked READ Locked WRITE setLocked)              // declared in the control's
//       ...                                                              // own interface order
//   public:
//       VqFoo(QWidget *parent = nullptr) : vq::EntryControl(parent)
//       {
//           setDesignSize("VqFoo");
//           auto *text1 = new QLineEdit(this);            // or a QComboBox's line edit, ...
//           setEntryField(text1);                         // keys, mouse and input method hooked here
//           placeFocusMarker(2100, -90);                  // Image1, twips; shown on focus entry
//           setArrowMoves(true);                          // Down queues {TAB}, Up +{TAB}
//       }
//   protected:
//       void focusEntered() override;                     // the focus came into the control
//       void focusLeft() override;                        // ... and left it (hide the marker here)
//       void keyDownSteps(short keyCode, short shift) override;   // before KeyDown is raised
//       int filterCharacter(int code) override;           // 0 discards, another code replaces
//   };
//
// "The focus inside the control" is any widget inside it or inside a constituent added with
// addConstituent(); moves between them are not leaving. The focus going to another window or a pop-up
// menu (and coming back) is neither leaving nor entering. Hooks run on Qt's event path: an exception
// from one is handed to vq::reportError and never unwinds through the event loop.
class EntryControl : public Control
{
    Q_OBJECT

public:
    ~EntryControl() override;

    // The edit field's read-only state.
    bool Locked() const;
    void setLocked(bool locked);
    // The edit field's tool tip.
    QString ToolTipText() const;
    void setToolTipText(const QString &tip);
    // The edit field's text colour, a 32-bit colour (top bit set: a system colour, 0x80000008 window
    // text, the default).
    uint ForeColor() const;
    void setForeColor(uint color);

    // Whether the focus is inside the control (between entering and leaving).
    bool hasFocusInside() const;

    // The display setting of the control's own surface: 1 while its form is being designed (a border round
    // the control), 0 at run time and until the control applies the ambient setting.
    int surfaceStyle() const;

Q_SIGNALS:
    // After the control's own handling of every key going down in the entry; the handler may change both
    // values, and the entry goes on with what it leaves there (KeyCode 0 cancels a key without a
    // character).
    void KeyDown(short &KeyCode, short &Shift);

protected:
    explicit EntryControl(QWidget *parent = nullptr);

    // Names the edit field. keyWidget is the widget that receives the keys when it is not the field itself
    // (an editable QComboBox forwards its keys to its line edit).
    void setEntryField(QLineEdit *field, QWidget *keyWidget = nullptr);
    QLineEdit *entryField() const;
    // Creates the focus marker Image1 (480 x 480 twips, hidden) at the given place, in twips.
    QLabel *placeFocusMarker(int leftTwips, int topTwips);
    QLabel *focusMarker() const;
    // A widget outside the control's children (a drop-down window) that still counts as inside it.
    void addConstituent(QWidget *widget);
    // Down arrow queues {TAB} and Up arrow +{TAB}, before KeyDown; the arrow still reaches the entry.
    void setArrowMoves(bool on);
    // Sets surfaceStyle from the site's ambient UserMode (0 running, 1 designed) and repaints; the controls
    // that show the design border call it as they load their properties.
    void applyAmbientSurface();

    // The focus came into the control from outside it, after the widget has taken it. The base shows the
    // focus marker first.
    virtual void focusEntered();
    // The focus left the control for another widget of its window. The marker is the control's to hide.
    virtual void focusLeft();
    // Runs before KeyDown for every key going down in the entry; the base makes the arrow moves.
    virtual void keyDownSteps(short keyCode, short shift);
    // Each typed character (single-byte code; above 255 beyond that range), after KeyDown: returns the
    // code the entry receives, 0 to discard it. Input-method commits pass here character by character.
    virtual int filterCharacter(int code);
    // A mouse button went down in the entry field, before the field handles it.
    virtual void mousePressed(QMouseEvent *event);
    // A double-click in the entry field, after the field has handled it.
    virtual void doubleClicked();

    // Queues {TAB} (forward) or +{TAB} for the focused widget.
    static void moveFocus(bool forward);
    // The layout of a field with the marker to its right: the field as wide as the control less 50 twips
    // and the marker's width, the marker 20 twips right of the field. A step the widget refuses (a control
    // too narrow for its field) leaves that widget as it was, and the next step still runs.
    void layOutBesideMarker(QWidget *field);

    bool eventFilter(QObject *watched, QEvent *event) override;
    // Draws the design border (surfaceStyle 1) in the window-text colour, under the constituent widgets.
    void paintEvent(QPaintEvent *event) override;
    // ENTER has done its work in the entry (it moves on); it goes no further, so that a QDialog host does
    // not press its default button as well.
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool isInside(const QWidget *widget) const;
    void focusChanged(QWidget *now);
    bool keyPress(QKeyEvent *event);
    bool inputMethodCommit(QInputMethodEvent *event);
    void deliver(QWidget *to, QEvent *event);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
