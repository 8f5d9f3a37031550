#pragma once

#include "forms/FormDescription.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vq::forms {

// Writes a form's text (the grammar is in forms/FormFile.h), which readForm reads back as the same
// description: one control a paragraph, one property a line, in the given order. A value the format has
// no form for (a byte array, a list), a name or key that is empty, or a date outside the years 1 to 9999
// is refused with vq::Error 13 naming the control and the key.
QByteArray writeForm(const FormDescription &form);

// One value as a form writes it, or none when the format cannot hold it.
std::optional<QString> valueText(const QVariant &value);

// A name or key as a form writes it: bare when it is an identifier, else quoted.
QString nameText(const QString &name);

} // namespace vq::forms
