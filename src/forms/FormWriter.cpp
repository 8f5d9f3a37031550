#include "forms/FormWriter.h"

#include "forms/FormFont.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QFont>
#include <QLocale>

#include <cmath>
#include <limits>

namespace vq::forms {

namespace {

QString stringText(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default: {
            // A lone surrogate has no UTF-8 form, and control characters would make the file binary.
            const bool pair = c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate();
            const bool lone = c.isSurrogate() && !pair;
            if (c.unicode() < 0x20 || c.unicode() == 0x7f || lone) {
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            } else {
                out += c;
                if (pair)
                    out += s.at(++i);
            }
        }
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString doubleText(double d)
{
    if (std::isnan(d))
        return QStringLiteral("nan");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    QString s = QString::number(d, 'g', QLocale::FloatingPointShortest);
    if (std::signbit(d) && !s.startsWith(QLatin1Char('-')))
        s.prepend(QLatin1Char('-'));
    // A whole number keeps its point, so that it reads back as a number with a fraction.
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')))
        s += QLatin1String(".0");
    return s;
}

std::optional<QString> dateText(const QDate &date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

std::optional<QString> dateTimeText(const QDateTime &dt)
{
    const auto date = dateText(dt.date());
    if (!date)
        return std::nullopt;
    const QTime t = dt.time();
    QString s =
        *date + t.toString(t.msec() ? QStringLiteral("'T'HH:mm:ss.zzz") : QStringLiteral("'T'HH:mm:ss"));
    if (dt.timeSpec() == Qt::UTC)
        return s + QLatin1Char('Z');
    if (dt.timeSpec() == Qt::LocalTime)
        return s;
    // A fixed offset (a named zone is kept as its offset at that moment).
    const int offset = dt.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    if (offset % 60 != 0)
        return std::nullopt;
    return s +
        QStringLiteral("%1%2:%3")
            .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
            .arg(minutes / 60, 2, 10, QLatin1Char('0'))
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString fontText(const QFont &font)
{
    const auto shortForm = shortFont(font);
    if (!shortForm)
        return QStringLiteral("font(%1)").arg(stringText(font.toString()));
    QString s = QStringLiteral("font(%1, %2")
                    .arg(stringText(shortForm->family),
                        QString::number(shortForm->points, 'g', QLocale::FloatingPointShortest));
    if (shortForm->weight == QFont::Bold)
        s += QLatin1String(", bold");
    else if (shortForm->weight != QFont::Normal)
        s += QStringLiteral(", weight %1").arg(shortForm->weight);
    if (shortForm->italic)
        s += QLatin1String(", italic");
    if (shortForm->underline)
        s += QLatin1String(", underline");
    if (shortForm->strikeOut)
        s += QLatin1String(", strikeout");
    return s + QLatin1Char(')');
}

bool isIdentifier(const QString &s)
{
    if (s.isEmpty() || s.at(0).isDigit())
        return false;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (!((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'))
            return false;
    }
    return true;
}

[[noreturn]] void refuse(const FormControl &c, const QString &what)
{
    throw Error(Error::TypeMismatch,
        QStringLiteral("Type mismatch: the control %1 (%2) cannot be written to a form: %3")
            .arg(stringText(c.name), c.className, what));
}

} // namespace

QString nameText(const QString &name)
{
    return isIdentifier(name) ? name : stringText(name);
}

std::optional<QString> valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return QStringLiteral("null");
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return QString::number(value.toLongLong());
    // 32-bit unsigned values are colours, whose bytes read best in hex.
    case QMetaType::UInt:
        return QStringLiteral("0x%1").arg(value.toUInt(), 8, 16, QLatin1Char('0'));
    case QMetaType::Float:
    case QMetaType::Double:
        return doubleText(value.toDouble());
    case QMetaType::QString:
        return stringText(value.toString());
    case QMetaType::QDate:
        return value.toDate().isValid() ? dateText(value.toDate()) : QStringLiteral("null");
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? dateTimeText(value.toDateTime()) : QStringLiteral("null");
    case QMetaType::QFont:
        return fontText(value.value<QFont>());
    default:
        return std::nullopt;
    }
}

QByteArray writeForm(const FormDescription &form)
{
    QString text = QStringLiteral("VqForm 1\n");
    for (const FormControl &c : form.controls) {
        if (c.name.isEmpty())
            refuse(c, QStringLiteral("it has no name"));
        const QRect &g = c.geometry;
        // In one call: a name may hold "%3", which a later arg() would fill.
        text += QStringLiteral("\n%1 %2 at %3, %4 size %5, %6 {\n")
                    .arg(c.className, nameText(c.name), QString::number(g.x()), QString::number(g.y()),
                        QString::number(g.width()), QString::number(g.height()));
        for (const FormProperty &p : c.properties) {
            if (p.key.isEmpty())
                refuse(c, QStringLiteral("a property has no name"));
            const auto v = valueText(p.value);
            if (!v) {
                refuse(c,
                    QStringLiteral("its property \"%1\" holds %2 \"%3\", which a form has no way to write")
                        .arg(p.key, QString::fromLatin1(p.value.typeName()), p.value.toString().left(40)));
            }
            text += QStringLiteral("    %1 = %2\n").arg(nameText(p.key), *v);
        }
        text += QLatin1String("}\n");
    }
    return text.toUtf8();
}

} // namespace vq::forms
