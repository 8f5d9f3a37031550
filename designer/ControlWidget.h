#pragma once

#include "frame/ClassTable.h"

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

namespace vq::designer {

// One control of the library as Designer sees it: its widget-box entry (group "VqControls", toolbox
// picture, texts, a default geometry of the class's design size) and the factory of its instances.
//
// Inside Designer (after initialize() with Designer's core) a new instance is a control of a form being
// designed: ambient UserMode false, initialised as new and then loaded from what it saves, as a designer
// host loads a form, so it shows its design-time face (the text box's and combo's border, the help list's
// picture, the portable list left empty). Without a core (QUiLoader or QFormBuilder using the plugin at run
// time) an instance is a running control, as one created in code.
class ControlWidget : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    ControlWidget(const ClassTable::ClassInfo &info, QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    // Registers the "Property Pages…" task menu with the core's extension manager (once per core); from
    // then on new instances are designed controls.
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    ClassTable::ClassInfo m_info;
    QDesignerFormEditorInterface *m_core = nullptr;
};

} // namespace vq::designer
