#include "forms/FormReader.h"

#include "forms/FormFileError.h"
#include "forms/FormFont.h"

#include <QDateTime>
#include <QHash>

#include <cmath>
#include <limits>

namespace vq::forms {

namespace {

[[noreturn]] void refuse(FormPosition at, const QString &message)
{
    throw FormFileError(Error::InvalidFileFormat, at.line, at.column, message);
}

QString quoted(const QString &s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The bytes must be UTF-8 text: a binary file is refused at its first byte that text cannot hold, so the
// lexer works on characters it can trust.
QString decodeText(QByteArrayView bytes)
{
    checkFormSize(bytes.size());
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    FormPosition at {1, 1};
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7f) {
                refuse(at,
                    QStringLiteral("the control character 0x%1 cannot appear in a form (is this a "
                                   "binary file?)")
                        .arg(b, 2, 16, QLatin1Char('0')));
            }
            ++i;
            if (b == '\n')
                at = {at.line + 1, 1};
            else
                ++at.column;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            code = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            code = b & 0x07;
        }
        bool ok = length > 0 && i + length <= n;
        for (int k = 1; ok && k < length; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8 either.
        ok = ok && !(length == 3 && code < 0x800) && !(length == 4 && (code < 0x10000 || code > 0x10FFFF)) &&
            !(code >= 0xD800 && code <= 0xDFFF);
        if (!ok) {
            refuse(at,
                QStringLiteral("the byte 0x%1 is not UTF-8 text (is this a binary file?)")
                    .arg(b, 2, 16, QLatin1Char('0')));
        }
        i += length;
        ++at.column;
    }
    return QString::fromUtf8(bytes);
}

struct Token
{
    enum Kind { End, Identifier, String, Number, Punctuation };
    Kind kind = End;
    QString text; // the identifier, the string's value, the punctuation, or the number as written
    QVariant value; // a number's, date's or time's value
    FormPosition at;
};

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

class Lexer
{
public:
    explicit Lexer(QString text)
        : m_text(std::move(text))
    { }

    Token next()
    {
        skipBlanks();
        Token t;
        t.at = m_at;
        if (atEnd())
            return t;
        const QChar c = peek();
        if (isIdentifierStart(c)) {
            t.kind = Token::Identifier;
            while (!atEnd() && isIdentifierChar(peek()))
                t.text += take();
        } else if (c == QLatin1Char('"')) {
            t.kind = Token::String;
            t.text = string();
        } else if (isDigit(c) || (c == QLatin1Char('-') && isDigit(peek(1)))) {
            t.kind = Token::Number;
            number(t);
        } else if (QStringView(u"{}=,()-").contains(c)) {
            t.kind = Token::Punctuation;
            t.text = take();
        } else {
            const QString shown =
                c.isPrint() ? QString(c) : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            refuse(m_at, QStringLiteral("the character \"%1\" has no place here").arg(shown));
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
                refuse(start,
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
                        refuse(at, QStringLiteral("\\u takes exactly four hex digits"));
                    take();
                    code = char16_t(code * 16 + h);
                }
                s += QChar(code);
                break;
            }
            default:
                refuse(at,
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

    void number(Token &t)
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
            refuse(t.at, QStringLiteral("\"%1\" is not a number, date or time").arg(t.text + peek()));
    }

    void hex(Token &t)
    {
        take();
        take();
        quint64 v = 0;
        int count = 0;
        while (hexDigit(peek()) >= 0) {
            v = v * 16 + quint64(hexDigit(take()));
            if (++count > 8)
                refuse(t.at, QStringLiteral("a hex number has at most 8 digits"));
        }
        if (count == 0)
            refuse(t.at, QStringLiteral("\"0x\" must be followed by hex digits"));
        t.value = QVariant(uint(v));
    }

    void decimal(Token &t)
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
                refuse(t.at, QStringLiteral("the number %1 is out of range").arg(text));
            t.value = d;
            return;
        }
        const qlonglong n = text.toLongLong(&ok);
        if (!ok)
            refuse(t.at, QStringLiteral("the number %1 is out of range").arg(text));
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            t.value = int(n);
        else
            t.value = n;
    }

    void dateOrTime(Token &t)
    {
        const int year = digits(4);
        take();
        const int month = digits(2);
        take();
        const int day = digits(2);
        const QDate date(year, month, day);
        if (!date.isValid())
            refuse(t.at,
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
            refuse(t.at,
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
            refuse(t.at, QStringLiteral("there is no such date and time"));
        t.value = dt;
    }

    QString m_text;
    qsizetype m_pos = 0;
    FormPosition m_at {1, 1};
};

QString describe(const Token &t)
{
    switch (t.kind) {
    case Token::End:
        return QStringLiteral("the end of the file");
    case Token::String:
        return QStringLiteral("the string ") + quoted(t.text.left(40));
    default:
        return quoted(t.text);
    }
}

class Parser
{
public:
    explicit Parser(QString text)
        : m_lexer(std::move(text))
    {
        advance();
    }

    FormDescription form()
    {
        if (m_token.kind == Token::End)
            refuse(m_token.at, QStringLiteral("the file is empty; a form begins with \"VqForm 1\""));
        if (!isWord("VqForm"))
            refuse(m_token.at,
                QStringLiteral("this is not a form file: it must begin with \"VqForm 1\", not %1")
                    .arg(describe(m_token)));
        advance();
        const Token version = m_token;
        if (version.kind != Token::Number || version.value.typeId() != QMetaType::Int)
            refuse(version.at,
                QStringLiteral("expected the form version after \"VqForm\", found %1")
                    .arg(describe(version)));
        if (version.value.toInt() != 1)
            refuse(version.at,
                QStringLiteral("form version %1 is not one this library reads (it reads version 1)")
                    .arg(version.text));
        advance();

        FormDescription form;
        QHash<QString, int> names; // name -> line
        while (m_token.kind != Token::End) {
            if (int(form.controls.size()) == MaxFormControls)
                refuse(
                    m_token.at, QStringLiteral("a form may hold at most %1 controls").arg(MaxFormControls));
            FormControl c = control();
            const auto seen = names.constFind(c.name);
            if (seen != names.constEnd())
                refuse(c.nameAt,
                    QStringLiteral("the name %1 is already taken by the control on line %2")
                        .arg(quoted(c.name))
                        .arg(*seen));
            names.insert(c.name, c.nameAt.line);
            form.controls.push_back(std::move(c));
        }
        return form;
    }

private:
    void advance() { m_token = m_lexer.next(); }

    bool isWord(const char *word) const
    {
        return m_token.kind == Token::Identifier && m_token.text == QLatin1String(word);
    }

    bool isPunctuation(char c) const
    {
        return m_token.kind == Token::Punctuation && m_token.text == QLatin1Char(c);
    }

    void expectWord(const char *word, const QString &after)
    {
        if (!isWord(word))
            refuse(m_token.at,
                QStringLiteral("expected \"%1\" after %2, found %3")
                    .arg(QLatin1String(word), after, describe(m_token)));
        advance();
    }

    void expectPunctuation(char c, const QString &where)
    {
        if (!isPunctuation(c))
            refuse(m_token.at,
                QStringLiteral("expected \"%1\" %2, found %3")
                    .arg(QString(QLatin1Char(c)), where, describe(m_token)));
        advance();
    }

    int integer(const QString &what, qlonglong lo, qlonglong hi)
    {
        if (m_token.kind != Token::Number ||
            (m_token.value.typeId() != QMetaType::Int && m_token.value.typeId() != QMetaType::LongLong))
            refuse(m_token.at,
                QStringLiteral("expected %1 (a whole number), found %2").arg(what, describe(m_token)));
        const qlonglong v = m_token.value.toLongLong();
        if (v < lo || v > hi)
            refuse(m_token.at,
                QStringLiteral("%1 must lie between %2 and %3, not %4").arg(what).arg(lo).arg(hi).arg(v));
        advance();
        return int(v);
    }

    // An identifier, or any text in quotes.
    QString nameOrKey(const QString &what)
    {
        if (m_token.kind != Token::Identifier && m_token.kind != Token::String)
            refuse(m_token.at, QStringLiteral("expected %1, found %2").arg(what, describe(m_token)));
        if (m_token.text.isEmpty())
            refuse(m_token.at, QStringLiteral("%1 cannot be empty").arg(what));
        const QString s = m_token.text;
        advance();
        return s;
    }

    FormControl control()
    {
        FormControl c;
        c.classAt = m_token.at;
        if (m_token.kind != Token::Identifier)
            refuse(m_token.at,
                QStringLiteral("expected a control's class name, found %1").arg(describe(m_token)));
        c.className = m_token.text;
        advance();
        c.nameAt = m_token.at;
        c.name = nameOrKey(QStringLiteral("the control's name"));
        const QString afterName = QStringLiteral("the name %1").arg(quoted(c.name));
        expectWord("at", afterName);
        const int left = integer(QStringLiteral("the left edge in twips"), -MaxFormTwips, MaxFormTwips);
        expectPunctuation(',', QStringLiteral("between left and top"));
        const int top = integer(QStringLiteral("the top edge in twips"), -MaxFormTwips, MaxFormTwips);
        expectWord("size", QStringLiteral("the position"));
        const int width = integer(QStringLiteral("the width in twips"), 0, MaxFormTwips);
        expectPunctuation(',', QStringLiteral("between width and height"));
        const int height = integer(QStringLiteral("the height in twips"), 0, MaxFormTwips);
        c.geometry = QRect(left, top, width, height);
        expectPunctuation('{', QStringLiteral("to open the control's properties"));

        QHash<QString, int> keys; // key -> line
        while (!isPunctuation('}')) {
            if (m_token.kind == Token::End)
                refuse(m_token.at,
                    QStringLiteral("the file ends inside the control %1: its closing \"}\" is missing")
                        .arg(quoted(c.name)));
            FormProperty p;
            p.keyAt = m_token.at;
            p.key = nameOrKey(QStringLiteral("a property name or \"}\""));
            const auto seen = keys.constFind(p.key);
            if (seen != keys.constEnd())
                refuse(p.keyAt,
                    QStringLiteral("the property %1 is already given on line %2")
                        .arg(quoted(p.key))
                        .arg(*seen));
            keys.insert(p.key, p.keyAt.line);
            expectPunctuation('=', QStringLiteral("after the property name %1").arg(quoted(p.key)));
            p.valueAt = m_token.at;
            p.value = value();
            c.properties.push_back(std::move(p));
        }
        advance();
        return c;
    }

    QVariant value()
    {
        const Token t = m_token;
        if (t.kind == Token::String || t.kind == Token::Number) {
            advance();
            return t.kind == Token::String ? QVariant(t.text) : t.value;
        }
        if (isPunctuation('-')) {
            advance();
            if (!isWord("inf"))
                refuse(t.at, QStringLiteral("a minus sign belongs to a number or to \"inf\""));
            advance();
            return -std::numeric_limits<double>::infinity();
        }
        if (t.kind == Token::Identifier) {
            advance();
            if (t.text == QLatin1String("true") || t.text == QLatin1String("false"))
                return t.text == QLatin1String("true");
            if (t.text == QLatin1String("null"))
                return QVariant();
            if (t.text == QLatin1String("inf"))
                return std::numeric_limits<double>::infinity();
            if (t.text == QLatin1String("nan"))
                return std::numeric_limits<double>::quiet_NaN();
            if (t.text == QLatin1String("font"))
                return font();
            if (t.text == QLatin1String("rgb"))
                return rgb();
        }
        refuse(t.at,
            QStringLiteral("expected a value (a string in quotes, a number, true, false, null, a date, "
                           "font(…) or rgb(…)), found %1")
                .arg(describe(t)));
    }

    double fontSize()
    {
        const Token t = m_token;
        const int type = t.value.typeId();
        const bool number = t.kind == Token::Number &&
            (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Double);
        const double points = number ? t.value.toDouble() : -1;
        if (!(points > 0 && points <= 1000))
            refuse(t.at,
                QStringLiteral("a font's size is in points, more than 0 and at most 1000; found %1")
                    .arg(describe(t)));
        advance();
        return points;
    }

    QVariant font()
    {
        expectPunctuation('(', QStringLiteral("after \"font\""));
        const Token family = m_token;
        if (family.kind != Token::String)
            refuse(family.at,
                QStringLiteral("a font begins with its family in quotes, found %1").arg(describe(family)));
        advance();
        if (isPunctuation(')')) {
            // Qt's own description of a font that the short form cannot give.
            advance();
            QFont f;
            if (!f.fromString(family.text) || family.text.isEmpty())
                refuse(family.at,
                    QStringLiteral("Qt cannot read the font description %1").arg(quoted(family.text)));
            return f;
        }
        expectPunctuation(',', QStringLiteral("after the font's family"));
        ShortFont shortForm;
        shortForm.family = family.text;
        shortForm.points = fontSize();
        while (isPunctuation(',')) {
            advance();
            const Token style = m_token;
            advance();
            if (style.kind != Token::Identifier) {
                refuse(style.at,
                    QStringLiteral("expected a font style (bold, italic, underline, strikeout or "
                                   "weight N), found %1")
                        .arg(describe(style)));
            } else if (style.text == QLatin1String("bold")) {
                shortForm.weight = QFont::Bold;
            } else if (style.text == QLatin1String("italic")) {
                shortForm.italic = true;
            } else if (style.text == QLatin1String("underline")) {
                shortForm.underline = true;
            } else if (style.text == QLatin1String("strikeout")) {
                shortForm.strikeOut = true;
            } else if (style.text == QLatin1String("weight")) {
                shortForm.weight = integer(QStringLiteral("a font weight"), 1, 1000);
            } else {
                refuse(style.at,
                    QStringLiteral("unknown font style %1 (the styles are bold, italic, underline, "
                                   "strikeout and weight N)")
                        .arg(describe(style)));
            }
        }
        expectPunctuation(')', QStringLiteral("to close the font"));
        return toFont(shortForm);
    }

    QVariant rgb()
    {
        expectPunctuation('(', QStringLiteral("after \"rgb\""));
        const int r = integer(QStringLiteral("red"), 0, 255);
        expectPunctuation(',', QStringLiteral("after red"));
        const int g = integer(QStringLiteral("green"), 0, 255);
        expectPunctuation(',', QStringLiteral("after green"));
        const int b = integer(QStringLiteral("blue"), 0, 255);
        expectPunctuation(')', QStringLiteral("to close the colour"));
        // Colours are stored as 0x00BBGGRR.
        return uint(r) | uint(g) << 8 | uint(b) << 16;
    }

    Lexer m_lexer;
    Token m_token;
};

} // namespace

void checkFormSize(qint64 bytes)
{
    if (bytes > MaxFormBytes)
        refuse({1, 1},
            QStringLiteral("the file holds %1 bytes; a form may hold at most %2")
                .arg(bytes)
                .arg(MaxFormBytes));
}

FormDescription readForm(QByteArrayView text)
{
    return Parser(decodeText(text)).form();
}

} // namespace vq::forms
