#pragma once

#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace vq {

class Collation;
class ColumnStore;

// A row with an unsigned sort key: keys in ascending order are rows in the wanted order.
struct KeyedRow
{
    quint64 key;
    quint32 row;
};

// Sorts rows (anything with a quint64 `key`) by key, least significant byte first: stable, so rows with
// equal keys keep their order. Bytes that are the same in every key cost no pass.
template<typename Row>
void radixSortByKey(Row *rows, size_t n)
{
    if (n < 2)
        return;
    // Every byte's counts in one pass over the keys.
    auto counts = std::make_unique<size_t[][256]>(8);
    for (size_t i = 0; i < n; ++i) {
        quint64 k = rows[i].key;
        for (int b = 0; b < 8; ++b, k >>= 8)
            ++counts[b][k & 0xff];
    }
    std::unique_ptr<Row[]> buffer;
    Row *from = rows;
    Row *to = nullptr;
    for (int b = 0; b < 8; ++b) {
        size_t *c = counts[b];
        if (c[(from[0].key >> (8 * b)) & 0xff] == n)
            continue;
        if (!buffer) {
            buffer.reset(new Row[n]);
            to = buffer.get();
        }
        size_t offset = 0;
        for (int v = 0; v < 256; ++v) {
            const size_t count = c[v];
            c[v] = offset;
            offset += count;
        }
        for (size_t i = 0; i < n; ++i)
            to[c[(from[i].key >> (8 * b)) & 0xff]++] = from[i];
        std::swap(from, to);
    }
    if (from != rows)
        std::copy(from, from + n, rows);
}

template<typename Row>
void radixSortByKey(std::vector<Row> &rows)
{
    radixSortByKey(rows.data(), rows.size());
}

// The rows of a text column in a collation's order (Collation::compare), ascending or descending, for the
// record set's Sort: null rows first (last when descending), rows with equal texts in fetch order.
//
// `less(a, b)` is the record set's whole comparison of two rows: this column, then any later sort columns,
// then fetch order. Keys (Collation::sortKey) order nearly every row; `less` decides only what they cannot:
// texts with characters that have no key (expansions such as "æ"), and, when `laterColumns` says there are
// more sort columns, the order within runs of equal texts and of nulls.
std::vector<quint32> sortTextRows(const ColumnStore &store, int column, bool descending,
    const Collation &collation, bool laterColumns, const std::function<bool(quint32, quint32)> &less);

} // namespace vq
