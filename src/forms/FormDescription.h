#pragma once

#include <QRect>
#include <QString>
#include <QVariant>

#include <vector>

namespace vq::forms {

// Where something stands in a form's text: line and column from 1 (0 for a description not read from
// text).
struct FormPosition
{
    int line = 0;
    int column = 0;
};

// One saved property: the bag key and the value as the bag holds it.
struct FormProperty
{
    QString key;
    QVariant value;
    FormPosition keyAt;
    FormPosition valueAt;
};

// One control of a form: its class, its object name, its place and size on the form in twips, and its
// bag in the order the control wrote it.
struct FormControl
{
    QString className;
    QString name;
    QRect geometry; // twips, relative to the form
    std::vector<FormProperty> properties;
    FormPosition classAt;
    FormPosition nameAt;
};

// A form as its text holds it, before any control exists; the controls in file order, which is the
// order they are created in and so the tab order.
struct FormDescription
{
    std::vector<FormControl> controls;
};

} // namespace vq::forms
