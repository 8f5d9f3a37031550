#pragma once

#include "frame/AmbientProperties.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;
class PropertyTable;

// The common base of every control: the life cycle a host drives (create, InitProperties or
// ReadProperties, Resize, Show, property access, WriteProperties), the property-change notification and
// the ambient properties of the control's site.
//
// A control declares its saved properties once, in propertyTable(); ReadProperties and WriteProperties
// walk that table (override them only to add a step before or after, such as reading the ambient
// UserMode, and call the base). Its design size comes from the class table (setDesignSize in the
// constructor), and it registers with one line in its .cpp: `const bool registered =
// vq::registerClass<VqFoo>();` (frame/ClassTable.h). A control with an Enabled property declares
//   Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)
// at its place in the interface order; the accessors live here.
class Control : public QWidget
{
    Q_OBJECT

public:
    explicit Control(QWidget *parent = nullptr);
    ~Control() override;

    // A control newly placed on a form: stored fields to their defaults.
    virtual void InitProperties();
    // A control whose form was saved: every persisted property from the bag, in the control's order (the
    // property table's). Property-change notifications are held back while it loads.
    virtual void ReadProperties(PropertyBag &bag);
    // The persisted properties into the bag, same keys, order and defaults as ReadProperties.
    virtual void WriteProperties(PropertyBag &bag);

    // The saved properties, each declared once (frame/PropertyTable.h); empty for a control without any.
    virtual const PropertyTable &propertyTable() const;

    // The control's own enabled state: false only when the control itself was disabled, not when it
    // merely greys under a disabled parent (so that is never what a form saves).
    bool Enabled() const;
    void setEnabledProperty(bool enabled);

    // The site's ambient properties; a control without a host runs with the defaults (run mode).
    AmbientProperties ambientProperties() const;
    void setAmbientProperties(const AmbientProperties &ambient);

    // The control's size in twips.
    int widthTwips() const;
    int heightTwips() const;
    // Sizes the control in twips (the host's resize); a negative size is refused with error 380.
    void resizeTwips(int width, int height);

Q_SIGNALS:
    // Tells the host that a persisted property changed, so that it marks its form modified.
    void propertyChanged(const QString &name);

protected:
    // Tells the host that the named property changed (after the change); silent while ReadProperties runs.
    void PropertyChanged(const QString &name);

    // Sizes a newly created control to its class's design size from the class table.
    void setDesignSize(const char *className);

    // Lays out the constituent widgets; run from every resize.
    virtual void Resize();
    // Run each time the control becomes visible (not when its window is merely restored).
    virtual void Show();

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void runResize();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
