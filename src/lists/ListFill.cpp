#include "lists/ListFill.h"

#include "data/Connection.h"
#include "data/Field.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "platform/Screen.h"
#include "platform/VariantText.h"

#include <exception>

namespace vq::lists {

void fillFromFileDsn(const QString &dsnName, const QString &query,
    const std::function<void(QStringList &&texts)> &append, qsizetype blockSize)
{
    blockSize = qMax<qsizetype>(blockSize, 1);
    QStringList block;
    const auto flush = [&] {
        if (!block.isEmpty())
            append(std::move(block));
        block = QStringList();
    };
    try {
        Connection connection;
        connection.Open(QStringLiteral("FileDSN=") + dsnName, QString(), QString(), -1);
        Screen::setMousePointer(Screen::Hourglass);
        Recordset rows;
        rows.Open(query, &connection, Recordset::adOpenForwardOnly, Recordset::adLockReadOnly, -1);
        const Field &first = rows.Fields().Item(0);
        const QLocale locale;
        while (!rows.isEOF()) {
            block.append(variantToText(first.Value(), locale));
            if (block.size() >= blockSize)
                flush();
            rows.MoveNext();
        }
    } catch (const std::exception &) {
        // The fill ends where it failed; what was read stays.
    }
    flush();
    Screen::setMousePointer(Screen::Arrow);
}

} // namespace vq::lists
