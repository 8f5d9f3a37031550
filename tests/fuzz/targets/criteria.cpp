#include "FuzzDatabase.h"
#include "FuzzTarget.h"

#include "data/Criteria.h"
#include "platform/Error.h"

// Filter and Find texts: parsed alone, then applied to a record set. A text is taken or refused with
// vq::Error; a refused filter leaves the previous one in force, and the position stays inside the rows.
VQ_FUZZ_TARGET(criteria)
{
    vqfuzz::Input in(data, size);
    const uint8_t mode = in.byte();
    const QString text = in.rest();
    const QLocale locale = (mode & 0x10) ? QLocale(QLocale::German, QLocale::Germany) : QLocale();
    try {
        vq::parseCriteria(text, locale);
    } catch (const vq::Error &) { }
    try {
        vq::parseCriterion(text, locale);
    } catch (const vq::Error &) { }

    vq::Recordset &rs = vqfuzz::sampleRecordset();
    rs.setFilter(QString());
    rs.setSort((mode & 0x20) ? QStringLiteral("name DESC") : QString());
    const qsizetype all = rs.RecordCount();
    if (mode & 1) {
        const QString before = (mode & 2) ? QStringLiteral("id > 1") : QString();
        rs.setFilter(before);
        try {
            rs.setFilter(text);
            // Kept as given; only a blank filter is kept as no filter at all.
            FUZZ_CHECK(rs.Filter() == text || (rs.Filter().isEmpty() && text.trimmed().isEmpty()), text);
        } catch (const vq::Error &) {
            FUZZ_CHECK(rs.Filter() == before, text);
        }
    } else {
        const qsizetype skip = qsizetype(in.byte() % 4) - 1;
        const int direction = (mode & 2) ? vq::Recordset::adSearchBackward : vq::Recordset::adSearchForward;
        try {
            rs.MoveFirst();
            const bool found = rs.Find(text, skip < 0 ? 0 : skip, direction);
            FUZZ_CHECK(found == !(rs.isEOF() || rs.isBOF()), text);
        } catch (const vq::Error &) { }
    }
    FUZZ_CHECK(rs.RecordCount() <= all, text);
    FUZZ_CHECK(rs.currentRow() >= -1 && rs.currentRow() <= rs.rowCount(), text);
    for (qsizetype row = 0; row < rs.rowCount(); ++row)
        rs.text(row, 1);
}
