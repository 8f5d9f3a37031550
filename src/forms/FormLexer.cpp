#include "forms/FormLexer.h"

#include "forms/FormFileError.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace vq::forms {

void refuseForm(FormPosition at, const QString &message)
{
    throw FormFileError(Error::InvalidFileFormat, at.line, at.column, message);
}

namespace {

bool isIdentifierStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isIdentifierChar(QChar c)
{
    return isIdentifierStart(c) || isDigit(c);
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - '0';
    const char16_t l = c.toLower().unicode();
    return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

} // namespace

class FormLexer::Private
{
public:
    explicit Private(QString text)
        : m_text(std::move(text))
    { }

    FormToken next()
    {
        skipBlanks();
        FormToken t;
        t.at = m_at;
        if (atEnd())
            return t;
        const QChar c = peek();
        if (isIdentifierStart(c)) {
            t.kind = FormToken::Identifier;
            while (!atEnd() && isIdentifierChar(peek()))
                t.text += take();
        } else if (c == QLatin1Char('"')) {
            t.kind = FormToken::String;
            t.text = string();
        } else if (isDigit(c) || (c == QLatin1Char('-') && isDigit(peek(1)))) {
            t.kind = FormToken::Number;
            number(t);
        } else if (QStringView(u"{}=,()-").contains(c)) {
            t.kind = FormToken::Punctuation;
            t.text = take();
        } else {
            const QString shown =
                c.isPrint() ? QString(c) : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            refuseForm(m_at, QStringLiteral("the character \"%1\" has no place here").arg(shown));
        }
        return t;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar();
    }

    QChar take()
    {
        const QChar c = m_text.at(m_pos++);
        if (c == QLatin1Char('\n'))
            m_at = {m_at.line + 1, 1};
        else if (!c.isLowSurrogate())
            ++m_at.column;
        return c;
    }

    void skipBlanks()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (c == QLatin1Char('#')) {
                while (!atEnd() && peek() != QLatin1Char('\n'))
                    take();
            } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
                c == QLatin1Char('\n')) {
                take();
            } else {
                return;
            }
        }
    }

    QString string()
    {
        const FormPosition start = m_at;
        take();
        QString s;
        for (;;) {
            if (atEnd() || peek() == QLatin1Char('\n')) {
                refuseForm(start,
                    QStringLiteral("the string is not closed: its closing quote is missing before the "
                                   "end of the line"));
            }
            const FormPosition at = m_at;
            const QChar c = take();
            if (c == QLatin1Char('"'))
                return s;
            if (c != QLatin1Char('\\')) {
                s += c;
                continue;
            }
            const QChar e = atEnd() ? QChar() : take();
            switch (e.unicode()) {
            case '"':
            case '\\':
                s += e;
                break;
            case 'n':
                s += QLatin1Char('\n');
                break;
            case 'r':
                s += QLatin1Char('\r');
                break;
            case 't':
                s += QLatin1Char('\t');
                break;
            case 'u': {
                char16_t code = 0;
                for (int k = 0; k < 4; ++k) {
                    const int h = hexDigit(peek());
                    if (h < 0)
                        refuseForm(at, QStringLiteral("\\u takes exactly four hex digits"));
                    take();
                    code = char16_t(code * 16 + h);
                }
                s += QChar(code);
                break;
            }
            default:
                refuseForm(at,
                    QStringLiteral("unknown escape \"\\%1\" in a string (the escapes are \\\" \\\\ \\n \\r "
                                   "\\t and \\uXXXX)")
                        .arg(e));
            }
        }
    }

    // Reads `count` digits as a number, or -1 when they are not all there.
    int digits(int count)
    {
        int v = 0;
        for (int k = 0; k < count; ++k) {
            if (!isDigit(peek(k)))
                return -1;
            v = v * 10 + (peek(k).unicode() - '0');
        }
        for (int k = 0; k < count; ++k)
            take();
        return v;
    }

    bool expect(char c)
    {
        if (peek() != QLatin1Char(c))
            return false;
        take();
        return true;
    }

    bool looksLikeDate() const
    {
        for (int k = 0; k < 10; ++k) {
            const QChar c = peek(k);
            if ((k == 4 || k == 7) ? c != QLatin1Char('-') : !isDigit(c))
                return false;
        }
        return true;
    }

    void number(FormToken &t)
    {
        const qsizetype start = m_pos;
        if (looksLikeDate())
            dateOrTime(t);
        else if (peek() == QLatin1Char('0') && (peek(1) == QLatin1Char('x') || peek(1) == QLatin1Char('X')))
            hex(t);
        else
            decimal(t);
        t.text = m_text.mid(start, m_pos - start);
        if (!atEnd() &&
            (isIdentifierChar(peek()) || peek() == QLatin1Char('.') || peek() == QLatin1Char(':')))
            refuseForm(t.at, QStringLiteral("\"%1\" is not a number, date or time").arg(t.text + peek()));
    }

    void hex(FormToken &t)
    {
        take();
        take();
        quint64 v = 0;
        int count = 0;
        while (hexDigit(peek()) >= 0) {
            v = v * 16 + quint64(hexDigit(take()));
            if (++count > 8)
                refuseForm(t.at, QStringLiteral("a hex number has at most 8 digits"));
        }
        if (count == 0)
            refuseForm(t.at, QStringLiteral("\"0x\" must be followed by hex digits"));
        t.value = QVariant(uint(v));
    }

    void decimal(FormToken &t)
    {
        const qsizetype start = m_pos;
        bool real = false;
        if (peek() == QLatin1Char('-'))
            take();
        while (isDigit(peek()))
            take();
        if (peek() == QLatin1Char('.') && isDigit(peek(1))) {
            real = true;
            take();
            while (isDigit(peek()))
                take();
        }
        if ((peek() == QLatin1Char('e') || peek() == QLatin1Char('E')) &&
            (isDigit(peek(1)) ||
                ((peek(1) == QLatin1Char('+') || peek(1) == QLatin1Char('-')) && isDigit(peek(2))))) {
            real = true;
            take();
            if (!isDigit(peek()))
                take();
            while (isDigit(peek()))
                take();
        }
        const QStringView text = QStringView(m_text).mid(start, m_pos - start);
        bool ok = false;
        if (real) {
            const double d = text.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                refuseForm(t.at, QStringLiteral("the number %1 is out of range").arg(text));
            t.value = d;
            return;
        }
        const qlonglong n = text.toLongLong(&ok);
        if (!ok)
            refuseForm(t.at, QStringLiteral("the number %1 is out of range").arg(text));
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            t.value = int(n);
        else
            t.value = n;
    }

    void dateOrTime(FormToken &t)
    {
        const int year = digits(4);
        take();
        const int month = digits(2);
        take();
        const int day = digits(2);
        const QDate date(year, month, day);
        if (!date.isValid())
            refuseForm(t.at,
                QStringLiteral("there is no date %1-%2-%3")
                    .arg(year, 4, 10, QLatin1Char('0'))
                    .arg(month, 2, 10, QLatin1Char('0'))
                    .arg(day, 2, 10, QLatin1Char('0')));
        if (peek() != QLatin1Char('T')) {
            t.value = date;
            return;
        }
        take();
        const auto badTime = [&] {
            refuseForm(t.at,
                QStringLiteral("a time is written THH:MM, THH:MM:SS or THH:MM:SS.mmm, then Z or an "
                               "offset +HH:MM, or nothing for local time"));
        };
        const int hour = digits(2);
        const int minute = expect(':') ? digits(2) : -1;
        int second = 0;
        int ms = 0;
        if (expect(':')) {
            second = digits(2);
            if (expect('.')) {
                int count = 0;
                ms = 0;
                while (isDigit(peek()) && count < 3) {
                    ms = ms * 10 + (take().unicode() - '0');
                    ++count;
                }
                if (count == 0)
                    badTime();
                for (; count < 3; ++count)
                    ms *= 10;
            }
        }
        const QTime time(hour, minute, second, ms);
        if (hour < 0 || minute < 0 || second < 0 || !time.isValid())
            badTime();
        QDateTime dt;
        if (expect('Z')) {
            dt = QDateTime(date, time, Qt::UTC);
        } else if (peek() == QLatin1Char('+') || peek() == QLatin1Char('-')) {
            const int sign = take() == QLatin1Char('-') ? -1 : 1;
            const int oh = digits(2);
            const int om = expect(':') ? digits(2) : -1;
            if (oh < 0 || om < 0 || oh > 14 || om > 59)
                badTime();
            dt = QDateTime(date, time, Qt::OffsetFromUTC, sign * (oh * 3600 + om * 60));
        } else {
            dt = QDateTime(date, time);
        }
        if (!dt.isValid())
            refuseForm(t.at, QStringLiteral("there is no such date and time"));
        t.value = dt;
    }

    QString m_text;
    qsizetype m_pos = 0;
    FormPosition m_at {1, 1};
};

FormLexer::FormLexer(QString text)
    : d(std::make_unique<Private>(std::move(text)))
{ }

FormLexer::~FormLexer() = default;

FormToken FormLexer::next()
{
    return d->next();
}

} // namespace vq::forms
