#include "data/Criteria.h"

#include "platform/DateText.h"
#include "platform/Error.h"

#include <cmath>
#include <optional>

namespace vq {

namespace {

[[noreturn]] void refuse()
{
    throw Error(Error::BadRecordsetArguments);
}

// Reads a whole text as a number with "." or the locale's decimal symbol and an optional exponent; the
// text with "." goes to *invariant.
std::optional<double> readNumber(const QString &text, const QLocale &locale, QByteArray *invariant)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QString decimal = locale.decimalPoint();
    if (decimal != QLatin1String("."))
        t.replace(decimal, QLatin1String("."));
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (i < t.size() && t[i].isDigit()) {
        ++i;
        digits = true;
    }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i].isDigit()) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
            ++i;
        bool expDigits = false;
        while (i < t.size() && t[i].isDigit()) {
            ++i;
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    *invariant = t.toLatin1();
    return v;
}

class Parser
{
public:
    Parser(const QString &text, const QLocale &locale)
        : m_text(text)
        , m_locale(locale)
    { }

    CriteriaGroups parse()
    {
        CriteriaGroups groups = expression();
        skipBlanks();
        if (m_pos != m_text.size())
            refuse();
        return groups;
    }

private:
    CriteriaGroups expression()
    {
        CriteriaGroups result = term();
        while (keyword("OR")) {
            CriteriaGroups more = term();
            result.insert(result.end(), more.begin(), more.end());
        }
        return result;
    }

    CriteriaGroups term()
    {
        CriteriaGroups result = factor();
        while (keyword("AND")) {
            CriteriaGroups more = factor();
            // An OR group cannot be joined by AND.
            if (result.size() != 1 || more.size() != 1)
                refuse();
            result.front().insert(result.front().end(), more.front().begin(), more.front().end());
        }
        return result;
    }

    CriteriaGroups factor()
    {
        skipBlanks();
        if (peek() == QLatin1Char('(')) {
            ++m_pos;
            CriteriaGroups inner = expression();
            skipBlanks();
            if (peek() != QLatin1Char(')'))
                refuse();
            ++m_pos;
            return inner;
        }
        return CriteriaGroups {{clause()}};
    }

    Criterion clause()
    {
        Criterion c;
        c.field = fieldName();
        c.op = readOperator();
        c.value = value();
        if (c.value.kind == CriteriaValue::Null && c.op != Criterion::Equal && c.op != Criterion::NotEqual)
            refuse();
        if (c.op == Criterion::Like)
            preparePattern(c);
        return c;
    }

    static void preparePattern(Criterion &c)
    {
        if (c.value.kind == CriteriaValue::Null)
            refuse();
        QString p = c.value.kind == CriteriaValue::Text ? c.value.text : c.value.text;
        auto isWild = [](QChar ch) { return ch == QLatin1Char('%') || ch == QLatin1Char('*'); };
        const bool trailing = !p.isEmpty() && isWild(p.back());
        if (trailing)
            p.chop(1);
        const bool leading = !p.isEmpty() && isWild(p.front());
        if (leading) {
            if (!trailing)
                refuse();
            p.remove(0, 1);
        }
        for (const QChar ch : p) {
            if (isWild(ch))
                refuse();
        }
        c.pattern = p;
        c.likeMode = leading ? Criterion::Contains : (trailing ? Criterion::Prefix : Criterion::Whole);
    }

    QString fieldName()
    {
        skipBlanks();
        if (peek() == QLatin1Char('[')) {
            const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos + 1);
            if (close < 0)
                refuse();
            const QString name = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            if (name.trimmed().isEmpty())
                refuse();
            return name;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const QChar ch = m_text[m_pos];
            if (ch.isSpace() || ch == QLatin1Char('=') || ch == QLatin1Char('<') || ch == QLatin1Char('>') ||
                ch == QLatin1Char('(') || ch == QLatin1Char(')') || ch == QLatin1Char('\''))
                break;
            ++m_pos;
        }
        if (m_pos == start)
            refuse();
        return m_text.mid(start, m_pos - start);
    }

    Criterion::Operator readOperator()
    {
        skipBlanks();
        const QChar c = peek();
        const QChar d = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : QChar();
        if (c == QLatin1Char('=')) {
            ++m_pos;
            return Criterion::Equal;
        }
        if (c == QLatin1Char('<')) {
            if (d == QLatin1Char('>')) {
                m_pos += 2;
                return Criterion::NotEqual;
            }
            if (d == QLatin1Char('=')) {
                m_pos += 2;
                return Criterion::LessEqual;
            }
            ++m_pos;
            return Criterion::Less;
        }
        if (c == QLatin1Char('>')) {
            if (d == QLatin1Char('=')) {
                m_pos += 2;
                return Criterion::GreaterEqual;
            }
            ++m_pos;
            return Criterion::Greater;
        }
        if (keyword("LIKE"))
            return Criterion::Like;
        refuse();
    }

    CriteriaValue value()
    {
        skipBlanks();
        CriteriaValue v;
        const QChar c = peek();
        if (c == QLatin1Char('\'')) {
            ++m_pos;
            QString text;
            for (;;) {
                if (m_pos >= m_text.size())
                    refuse();
                const QChar ch = m_text[m_pos++];
                if (ch == QLatin1Char('\'')) {
                    if (peek() == QLatin1Char('\'')) {
                        text += ch;
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                text += ch;
            }
            v.kind = CriteriaValue::Text;
            v.text = text;
            return v;
        }
        if (c == QLatin1Char('#')) {
            const qsizetype close = m_text.indexOf(QLatin1Char('#'), m_pos + 1);
            if (close < 0)
                refuse();
            v.text = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            // Literal dates read month first, as in a database query, whatever the user's locale.
            const auto date = textToDate(v.text, QLocale(QLocale::English, QLocale::UnitedStates));
            if (!date)
                refuse();
            v.kind = CriteriaValue::Date;
            v.date = *date;
            return v;
        }
        // An unquoted value runs to the end, a ")" or a blank before AND/OR.
        const qsizetype start = m_pos;
        qsizetype end = m_pos;
        while (end < m_text.size()) {
            const QChar ch = m_text[end];
            if (ch == QLatin1Char(')'))
                break;
            if (ch.isSpace() && (keywordAt(end, "AND") || keywordAt(end, "OR")))
                break;
            ++end;
        }
        v.text = m_text.mid(start, end - start).trimmed();
        m_pos = end;
        if (v.text.isEmpty())
            refuse();
        if (v.text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) {
            v.kind = CriteriaValue::Null;
            return v;
        }
        if (v.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
            v.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            v.kind = CriteriaValue::Number;
            v.number = v.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ? -1 : 0;
            return v;
        }
        if (const auto number = readNumber(v.text, m_locale, &v.numberText)) {
            v.kind = CriteriaValue::Number;
            v.number = *number;
            return v;
        }
        if (const auto date = textToDate(v.text, m_locale)) {
            v.kind = CriteriaValue::Date;
            v.date = *date;
            return v;
        }
        refuse();
    }

    // True (and consumed) when the next word is the keyword, followed by a blank, "(" or the end.
    bool keyword(const char *word)
    {
        skipBlanks();
        const qsizetype n = qsizetype(qstrlen(word));
        if (m_text.mid(m_pos, n).compare(QLatin1String(word), Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = m_pos + n;
        if (after < m_text.size() && !m_text[after].isSpace() && m_text[after] != QLatin1Char('(') &&
            m_text[after] != QLatin1Char('\'') && m_text[after] != QLatin1Char('#'))
            return false;
        m_pos = after;
        return true;
    }

    // True when blanks at `at` are followed by the keyword and then a blank or "(".
    bool keywordAt(qsizetype at, const char *word) const
    {
        while (at < m_text.size() && m_text[at].isSpace())
            ++at;
        const qsizetype n = qsizetype(qstrlen(word));
        if (m_text.mid(at, n).compare(QLatin1String(word), Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = at + n;
        return after < m_text.size() && (m_text[after].isSpace() || m_text[after] == QLatin1Char('('));
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    QChar peek() const { return m_pos < m_text.size() ? m_text[m_pos] : QChar(); }

    const QString &m_text;
    const QLocale &m_locale;
    qsizetype m_pos = 0;
};

} // namespace

CriteriaGroups parseCriteria(const QString &text, const QLocale &locale)
{
    if (text.trimmed().isEmpty())
        refuse();
    return Parser(text, locale).parse();
}

Criterion parseCriterion(const QString &text, const QLocale &locale)
{
    const CriteriaGroups groups = parseCriteria(text, locale);
    if (groups.size() != 1 || groups.front().size() != 1)
        refuse();
    return groups.front().front();
}

} // namespace vq
