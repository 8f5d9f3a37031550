#include "textbox/LeaveField.h"

#include "textbox/KeystrokeFilter.h"

#include "frame/modGeneral.h"
#include "platform/Error.h"
#include "platform/NumberText.h"

#include <QStringList>

namespace vq::textbox {

namespace {
QString capitalised(const QString &piece)
{
    qsizetype start = 0;
    while (start < piece.size() && piece.at(start) == QLatin1Char(' '))
        ++start;
    const QString rest = piece.mid(start);
    if (rest.isEmpty())
        return rest;
    return rest.left(1).toUpper() + rest.mid(1).toLower();
}
} // namespace

QString storedValue(const QString &trimmed, quint8 dataType, const QLocale &locale)
{
    if (dataType != NumberOnly)
        return trimmed;
    const QString picture = trimmed.contains(QLatin1Char('.')) ? QStringLiteral("0.00") : QStringLiteral("0");
    return formatNumberText(trimmed, picture, locale);
}

QString numberDisplay(const QString &trimmed, short thousandSeparator, short decimal, const QLocale &locale)
{
    const bool thousands = isTrue(thousandSeparator);
    const bool decimals = isTrue(decimal);
    if (thousands && decimals)
        return formatNumberText(trimmed, QStringLiteral("#,###.00"), locale);
    if (thousands)
        return formatNumberText(trimmed, QStringLiteral("#,###"), locale);
    if (decimals)
        return formatNumberText(trimmed, QStringLiteral("0.00"), locale);
    return trimmed;
}

QString sentenceCase(const QString &text)
{
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() == 1)
        return capitalised(text);
    QString result = capitalised(pieces.first());
    const qsizetype last = pieces.size() - 1;
    for (qsizetype i = 1; i <= last; ++i)
        result += QLatin1Char('.') + (i == last ? capitalised(pieces.at(i)) : pieces.at(i).toUpper());
    return result;
}

void reportLeaveError(const vq::Error &error)
{
    if (error.number() == vq::Error::NoClientSite)
        return;
    QString message = QStringLiteral("%1,%2").arg(error.number()).arg(error.description());
    vq::modGeneral::ShowWarning(message);
}

} // namespace vq::textbox
