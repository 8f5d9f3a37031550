#pragma once

#include "frame/PropertyTable.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace vq {
class Control;
}

namespace vq::test {

// What the conformance tests need to know about a control beyond its property table. Most controls need
// nothing; a control whose properties need special values says so in ControlTraits.cpp:
//   {"VqFoo", {.prepare = [](vq::Control &c) { c.setProperty("..."); },    // before each check
//              .samples = {{"Value", QDate(2001, 4, 18)}},                  // non-default saved values
//              .unsettable = {"ListCount"}}},                               // setters not to call
struct ControlTraits
{
    // Brings a fresh control into a state where every saved key is read and written (a list with items).
    std::function<void(vq::Control &)> prepare;
    // A value for a saved key that differs from its default and survives a round trip; without one the
    // tests derive a value from the bag type (a Variant key without a sample is left out).
    QVariantMap samples;
    // Interface properties whose setter is not called with their own value (one that acts, not stores).
    QStringList unsettable;
    // Saved keys whose default, read from a bag without them, need not be what is written afterwards:
    // keys read into widget state that later keys change again (a list's selection after its text).
    QStringList defaultsNotKept;
};

// The traits of a class, empty for a class that needs none.
const ControlTraits &traitsOf(const QString &className);

// A value of the key's bag type that differs from its default, as the bag would hold it: the class's
// sample, else one derived from the bag type; none for a Variant key without a sample.
std::optional<QVariant> sampleValue(const ControlTraits &traits, const vq::PropertyTable::Entry &entry);

} // namespace vq::test
