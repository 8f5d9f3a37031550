#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <limits>

namespace vq::lists {

// Fills a list from an ODBC file data source, as the portable list box does.
//
// Opens a connection with exactly "FileDSN=" + dsnName (nothing quoted or added), an empty user ID and
// password; sets the screen-wide pointer to the hourglass; runs query forward-only and read-only; and hands
// the text of the first column of every row, in row order, to append, in blocks of up to blockSize texts
// (the texts of one block arrive together and may be taken over, so a list can insert them in one step).
// Texts are the platform's value-to-text conversion (vq::variantToText). The pointer is the arrow afterwards.
//
// Any failure (a data source file that cannot be opened, a driver, server or SQL error, a value that has no
// text such as a null) ends the fill silently at that point: the rows read before it have been handed to
// append, nothing is thrown and nothing is reported. The connection and the record set are released when
// the fill ends; none is kept.
void fillFromFileDsn(const QString &dsnName, const QString &query,
    const std::function<void(QStringList &&texts)> &append,
    qsizetype blockSize = std::numeric_limits<qsizetype>::max());

} // namespace vq::lists
