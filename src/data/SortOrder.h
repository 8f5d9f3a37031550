#pragma once

#include <QString>

#include <vector>

namespace vq {

// The record set's sort text: field names, bare or in square brackets, each optionally followed by ASC or
// DESC (any case), separated by commas: "name", "[Order Date] DESC, id". An empty text means fetch order
// (no keys). A part without a name, or with more than a name and a direction, is refused with
// vq::Error 3001.
struct SortKey
{
    QString field;
    bool descending = false;
};

std::vector<SortKey> parseSortOrder(const QString &text);

} // namespace vq
