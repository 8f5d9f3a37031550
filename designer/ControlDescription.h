#pragma once

#include <QString>

namespace vq::designer {

// What Designer tells about a control of the library: the public header a generated form includes (as
// installed, under the include folder), the widget box's tool tip and its "what's this" text.
struct ControlDescription
{
    QString includeFile;
    QString toolTip;
    QString whatsThis;
};

// The description of a control class of the class table; a class without one gets its name as the tool
// tip and the header of its own name.
ControlDescription describe(const QString &className);

} // namespace vq::designer
