#pragma once

#include "frame/AmbientProperties.h"

#include <QWidget>

#include <memory>

namespace vq {

class PropertyBag;

// The common base of every control: the life cycle a host drives (create, InitProperties or
// ReadProperties, Resize, Show, property access, WriteProperties), the property-change notification and
// the ambient properties of the control's site.
class Control : public QWidget
{
    Q_OBJECT

public:
    explicit Control(QWidget *parent = nullptr);
    ~Control() override;

    // A control newly placed on a form: stored fields to their defaults.
    virtual void InitProperties();
    // A control whose form was saved: every persisted property from the bag, in the control's order.
    virtual void ReadProperties(PropertyBag &bag);
    // The persisted properties into the bag, same keys, order and defaults as ReadProperties.
    virtual void WriteProperties(PropertyBag &bag);

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
    void PropertyChanged(const QString &name);

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
