#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace vq {

// A design-time page for the options of a control. The host hands it the selected controls and asks it to
// apply its edits; the page marks itself changed so that the host enables its Apply button.
//
// A page acts on the first selected control only and reaches it through its property names alone
// (readProperty/writeProperty), never through its C++ type, so a page works for any object that has the
// properties it edits. The page's caption (its tab text) is the widget's window title.
//
// Widgets of a page that come in numbered groups (option buttons of one choice) are named with their
// number appended after an underscore: optCase_0, optCase_1 …
class PropertyPage : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Changed READ Changed WRITE setChanged NOTIFY changedChanged)

public:
    explicit PropertyPage(QWidget *parent = nullptr);
    ~PropertyPage() override;

    QList<QObject *> SelectedControls() const;
    // Stores the selection, then runs SelectionChanged(). Errors of the load reach the caller and stop it
    // at the failing step; the page keeps what the steps before did, Changed included.
    void setSelectedControls(const QList<QObject *> &controls);

    // Loads the page from the first selected control.
    virtual void SelectionChanged();
    // Writes the page's settings into the first selected control.
    virtual void ApplyChanges();

    bool Changed() const;
    void setChanged(bool changed);

    // Sizes the page in twips; pages keep a fixed size, as the host lays its tabs out around them.
    void setPageSize(int widthTwips, int heightTwips);

Q_SIGNALS:
    void changedChanged(bool changed);

protected:
    // The first selected control; throws vq::Error 5 when nothing is selected (or it has gone).
    QObject *firstSelected() const;
    // Reads a property of the first selected control by name; a name the control lacks is refused with
    // error 438.
    QVariant readProperty(const char *name) const;
    // Sets a property of the first selected control by name, through its setter (so it notifies). A name
    // the control lacks is refused with error 438, a value it cannot take with error 13.
    void writeProperty(const char *name, const QVariant &value);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
