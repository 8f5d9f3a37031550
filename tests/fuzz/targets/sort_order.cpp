#include "FuzzDatabase.h"
#include "FuzzTarget.h"

#include "data/SortOrder.h"
#include "platform/Error.h"

// Sort texts: parsed alone, then applied. A taken sort keeps every row and starts at the first one; a
// refused sort leaves the previous order.
VQ_FUZZ_TARGET(sort_order)
{
    const QString text = vqfuzz::Input(data, size).rest();
    try {
        for (const vq::SortKey &key : vq::parseSortOrder(text))
            FUZZ_CHECK(!key.field.isEmpty(), text);
    } catch (const vq::Error &) { }

    vq::Recordset &rs = vqfuzz::sampleRecordset();
    rs.setFilter(QString());
    rs.setSort(QStringLiteral("id"));
    const qsizetype all = rs.RecordCount();
    try {
        rs.setSort(text);
        FUZZ_CHECK(rs.RecordCount() == all, text);
        FUZZ_CHECK(all == 0 || rs.AbsolutePosition() == 1, text);
    } catch (const vq::Error &) {
        FUZZ_CHECK(rs.Sort() == QStringLiteral("id"), text);
    }
}
