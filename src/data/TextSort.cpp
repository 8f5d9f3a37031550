#include "data/TextSort.h"

#include "data/Collation.h"
#include "data/ColumnStore.h"
#include "data/PodBuffer.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace vq {

namespace {

// The keys' bytes past their first sixteen, each as a 32-bit length and the bytes; offset 0 is the empty
// rest that keys of sixteen bytes or fewer share.
class KeyTails
{
public:
    KeyTails() { std::memset(m_bytes.extend(sizeof(quint32)), 0, sizeof(quint32)); }

    // Room to write a key of up to `bytes` bytes; the key goes to the returned address.
    char *room(size_t bytes)
    {
        m_bytes.reserveMore(sizeof(quint32) + bytes);
        return m_bytes.data() + m_bytes.size() + sizeof(quint32);
    }
    // Keeps what follows the first sixteen bytes of a key of `length` bytes just written at room();
    // returns its offset.
    quint32 keep(qsizetype length)
    {
        if (length <= 16)
            return 0;
        char *at = m_bytes.data() + m_bytes.size();
        const quint32 rest = quint32(length - 16);
        std::memmove(at + sizeof(quint32), at + sizeof(quint32) + 16, rest);
        std::memcpy(at, &rest, sizeof(quint32));
        const quint32 offset = ColumnStore::checkedOffset(m_bytes.size());
        m_bytes.setSize(m_bytes.size() + sizeof(quint32) + rest);
        return offset;
    }
    std::string_view at(quint32 offset) const
    {
        quint32 length;
        std::memcpy(&length, m_bytes.data() + offset, sizeof(quint32));
        return std::string_view(m_bytes.data() + offset + sizeof(quint32), length);
    }

private:
    PodBuffer<char> m_bytes;
};

// Eight bytes of a key from `from` on as a number that orders as they do; a key that ends is padded with
// zeros, below every byte a key goes on with. A key never holds eight zeros in a row, so a word of a key
// that goes on is never zero.
quint64 keyWord(const char *key, size_t length, size_t from)
{
    if (from >= length)
        return 0;
    if (length - from >= 8)
        return qFromBigEndian<quint64>(key + from);
    quint64 word = 0;
    for (size_t i = from; i < length; ++i)
        word |= quint64(static_cast<unsigned char>(key[i])) << (56 - 8 * (i - from));
    return word;
}

// A row in the text sort: its key's first sixteen bytes at hand (most keys fit), the rest kept aside.
struct TextRow
{
    quint64 key; // the eight bytes the rows are being ordered by now
    quint64 next; // the key's second eight bytes
    quint32 row;
    quint32 rest; // KeyTails offset
};

} // namespace

std::vector<quint32> sortTextRows(const ColumnStore &store, int column, bool descending,
    const Collation &collation, bool laterColumns, const std::function<bool(quint32, quint32)> &less)
{
    const qsizetype n = store.rowCount();
    auto textOf = [&](quint32 row) { return store.textAt(column, row); };
    auto rowLess = [&](const TextRow &a, const TextRow &b) { return less(a.row, b.row); };
    auto flip = [descending](quint64 word) { return descending ? ~word : word; };

    // Every key is made once, in one pass over the column's bytes; the first sixteen bytes travel with the
    // rows, the rest waits in one block for the rows that tie on those.
    std::vector<TextRow> keyed;
    keyed.reserve(size_t(n));
    std::vector<quint32> nulls, unkeyed;
    KeyTails tails;
    for (qsizetype r = 0; r < n; ++r) {
        if (store.isNull(column, r)) {
            nulls.push_back(quint32(r));
            continue;
        }
        const std::string_view text = store.textAt(column, r);
        char *key = tails.room(Collation::sortKeyRoom(text.size()));
        const qsizetype length = collation.sortKey(text, key);
        if (length < 0) {
            unkeyed.push_back(quint32(r));
            continue;
        }
        keyed.push_back({flip(keyWord(key, size_t(length), 0)), flip(keyWord(key, size_t(length), 8)),
            quint32(r), tails.keep(length)});
    }
    radixSortByKey(keyed);

    // Equal keys are equal texts, which stay in fetch order as the radix sort left them unless later sort
    // columns tell them apart.
    auto resolveEqualKeys = [&](size_t from, size_t to) {
        if (laterColumns)
            std::sort(keyed.begin() + qsizetype(from), keyed.begin() + qsizetype(to), rowLess);
    };
    // Word `depth` of a row's key (0: bytes 0-7, 1: bytes 8-15, ...), and whether the key goes on past it.
    auto wordAt = [&](const TextRow &e, size_t depth) {
        if (depth == 1)
            return e.next;
        const std::string_view rest = tails.at(e.rest);
        return flip(keyWord(rest.data(), rest.size(), (depth - 2) * 8));
    };
    auto goesOn = [&](const TextRow &e, size_t depth) {
        if (depth == 0)
            return flip(e.next) != 0;
        if (depth == 1)
            return e.rest != 0;
        return tails.at(e.rest).size() > (depth - 1) * 8;
    };
    // Rows in fetch order whose keys agree before word `depth`: ordered by that word (names share long
    // beginnings and repeat; comparing numbers is what makes repeats cheap), then by the next where keys
    // still agree and go on.
    auto refine = [&](auto &self, size_t from, size_t to, size_t depth) -> void {
        bool differ = false;
        for (size_t k = from; k < to; ++k) {
            keyed[k].key = wordAt(keyed[k], depth);
            differ = differ || keyed[k].key != keyed[from].key;
        }
        // The rows are in fetch order, which a stable sort keeps within equal words.
        if (differ && to - from >= 256) {
            radixSortByKey(keyed.data() + from, to - from);
        } else if (differ) {
            std::sort(keyed.begin() + qsizetype(from), keyed.begin() + qsizetype(to),
                [](const TextRow &a, const TextRow &b) {
                    return a.key != b.key ? a.key < b.key : a.row < b.row;
                });
        }
        for (size_t a = from; a < to;) {
            size_t b = a + 1;
            bool longer = goesOn(keyed[a], depth);
            while (b < to && keyed[b].key == keyed[a].key) {
                longer = longer || goesOn(keyed[b], depth);
                ++b;
            }
            if (b - a > 1) {
                if (longer)
                    self(self, a, b, depth + 1);
                else
                    resolveEqualKeys(a, b);
            }
            a = b;
        }
    };
    for (size_t i = 0; i < keyed.size();) {
        size_t j = i + 1;
        bool longer = goesOn(keyed[i], 0);
        while (j < keyed.size() && keyed[j].key == keyed[i].key) {
            longer = longer || goesOn(keyed[j], 0);
            ++j;
        }
        if (j - i > 1) {
            if (longer)
                refine(refine, i, j, 1);
            else
                resolveEqualKeys(i, j);
        }
        i = j;
    }

    if (laterColumns)
        std::sort(nulls.begin(), nulls.end(), less);

    std::vector<quint32> merged;
    merged.reserve(size_t(n));
    if (unkeyed.empty()) {
        for (const TextRow &e : keyed)
            merged.push_back(e.row);
    } else {
        // Texts without keys repeat too: each text is compared once, as a group of its rows, and groups
        // that the collation finds equal (they differ in case only) are one run in fetch order.
        std::vector<std::vector<quint32>> runs;
        if (laterColumns) {
            std::sort(unkeyed.begin(), unkeyed.end(), less);
            runs.push_back(std::move(unkeyed));
        } else {
            std::sort(unkeyed.begin(), unkeyed.end(), [&](quint32 a, quint32 b) {
                const int c = textOf(a).compare(textOf(b));
                return c != 0 ? c < 0 : a < b;
            });
            std::vector<std::pair<size_t, size_t>> groups;
            for (size_t a = 0; a < unkeyed.size();) {
                size_t b = a + 1;
                while (b < unkeyed.size() && textOf(unkeyed[b]) == textOf(unkeyed[a]))
                    ++b;
                groups.emplace_back(a, b);
                a = b;
            }
            std::sort(groups.begin(), groups.end(),
                [&](const auto &a, const auto &b) { return less(unkeyed[a.first], unkeyed[b.first]); });
            for (size_t g = 0; g < groups.size(); ++g) {
                const auto [a, b] = groups[g];
                const bool joins =
                    g > 0 && collation.compare(textOf(runs.back().front()), textOf(unkeyed[a])) == 0;
                if (!joins)
                    runs.emplace_back();
                std::vector<quint32> &run = runs.back();
                const size_t before = run.size();
                run.insert(run.end(), unkeyed.begin() + qsizetype(a), unkeyed.begin() + qsizetype(b));
                if (joins)
                    std::inplace_merge(run.begin(), run.begin() + qsizetype(before), run.end());
            }
        }
        // Each run goes in where it belongs among the keyed rows by binary search; only a run whose text
        // the collation finds equal to a keyed one (accents aside: "Æ" and "AE") needs the rows merged one
        // by one.
        bool interleaves = laterColumns;
        std::vector<size_t> at(runs.size());
        size_t from = 0;
        for (size_t k = 0; k < runs.size() && !interleaves; ++k) {
            const quint32 first = runs[k].front();
            from = size_t(std::partition_point(keyed.begin() + qsizetype(from), keyed.end(),
                              [&](const TextRow &e) { return less(e.row, first); }) -
                keyed.begin());
            at[k] = from;
            const std::string_view text = textOf(first);
            interleaves = (from < keyed.size() && collation.compare(textOf(keyed[from].row), text) == 0) ||
                (from > 0 && collation.compare(textOf(keyed[from - 1].row), text) == 0);
        }
        if (interleaves) {
            std::vector<quint32> keyedRows, others;
            keyedRows.reserve(keyed.size());
            for (const TextRow &e : keyed)
                keyedRows.push_back(e.row);
            for (const std::vector<quint32> &run : runs)
                others.insert(others.end(), run.begin(), run.end());
            merged.resize(keyedRows.size() + others.size());
            std::merge(
                keyedRows.begin(), keyedRows.end(), others.begin(), others.end(), merged.begin(), less);
        } else {
            size_t next = 0;
            for (size_t k = 0; k < runs.size(); ++k) {
                for (; next < at[k]; ++next)
                    merged.push_back(keyed[next].row);
                merged.insert(merged.end(), runs[k].begin(), runs[k].end());
            }
            for (; next < keyed.size(); ++next)
                merged.push_back(keyed[next].row);
        }
    }
    if (nulls.empty())
        return merged;
    if (descending) {
        merged.insert(merged.end(), nulls.begin(), nulls.end());
        return merged;
    }
    nulls.insert(nulls.end(), merged.begin(), merged.end());
    return nulls;
}

} // namespace vq
