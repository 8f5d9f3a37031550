#pragma once

#include <QString>
#include <QVariant>

// The library's code module: its one warning routine and the help list's picked values.
namespace vq::modGeneral {

// Shows message under the title "Warning!" through a fresh MessageComponent created by class id for this
// call. Silent when no component is registered or when it fails; never throws.
void ShowWarning(QString &message);

// The five values picked in the last help list, one set per thread, empty at start. n runs from 1 to 5;
// other numbers throw vq::Error 35600.
QVariant PickedValue(int n);
void SetPickedValue(int n, const QVariant &value);
void ClearPickedValues();

} // namespace vq::modGeneral
