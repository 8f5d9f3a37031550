#include "data/SortOrder.h"

#include "platform/Error.h"

#include <QStringList>

namespace vq {

std::vector<SortKey> parseSortOrder(const QString &text)
{
    std::vector<SortKey> keys;
    if (text.trimmed().isEmpty())
        return keys;
    // Split at commas outside brackets.
    QStringList parts;
    QString current;
    bool inBrackets = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('['))
            inBrackets = true;
        else if (c == QLatin1Char(']'))
            inBrackets = false;
        if (c == QLatin1Char(',') && !inBrackets) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;

    for (QString part : parts) {
        part = part.trimmed();
        SortKey key;
        if (part.startsWith(QLatin1Char('['))) {
            const qsizetype close = part.indexOf(QLatin1Char(']'));
            if (close < 0)
                throw Error(Error::BadRecordsetArguments);
            key.field = part.mid(1, close - 1);
            part = part.mid(close + 1).trimmed();
        } else {
            const qsizetype blank = part.lastIndexOf(QLatin1Char(' '));
            const QString last = blank < 0 ? QString() : part.mid(blank + 1);
            if (last.compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0 ||
                last.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0) {
                key.field = part.left(blank).trimmed();
                part = last;
            } else {
                key.field = part;
                part.clear();
            }
        }
        if (part.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0)
            key.descending = true;
        else if (!part.isEmpty() && part.compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0)
            throw Error(Error::BadRecordsetArguments);
        if (key.field.trimmed().isEmpty())
            throw Error(Error::BadRecordsetArguments);
        keys.push_back(key);
    }
    return keys;
}

} // namespace vq
