#pragma once

#include <QUiLoader>

namespace vq {

// Loads a form made in Qt Designer (a .ui file) whose widgets include the library's controls, at run time:
//
//   vq::UiLoader loader;
//   QFile file(":/forms/order.ui");
//   file.open(QIODevice::ReadOnly);
//   QWidget *form = loader.load(&file, parent);   // null on failure, with loader.errorString()
//   auto *amount = form->findChild<VqTextBox *>("amount");
//
// The library's controls are created by its class factory, as running controls initialised as new
// (InitProperties), before the form's property values are applied, so they behave as controls created in
// code. Every other class is QUiLoader's as usual. No Designer plugin needs to be installed or found.
class UiLoader : public QUiLoader
{
public:
    explicit UiLoader(QObject *parent = nullptr);

    QWidget *createWidget(
        const QString &className, QWidget *parent = nullptr, const QString &name = QString()) override;
};

} // namespace vq
