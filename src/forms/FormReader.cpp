#include "forms/FormReader.h"

#include "forms/FormFileError.h"
#include "forms/FormFont.h"
#include "forms/FormLexer.h"

#include <QDateTime>
#include <QHash>

#include <cmath>
#include <limits>

namespace vq::forms {

namespace {

[[noreturn]] void refuse(FormPosition at, const QString &message)
{
    refuseForm(at, message);
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

QString describe(const FormToken &t)
{
    switch (t.kind) {
    case FormToken::End:
        return QStringLiteral("the end of the file");
    case FormToken::String:
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
        if (m_token.kind == FormToken::End)
            refuse(m_token.at, QStringLiteral("the file is empty; a form begins with \"VqForm 1\""));
        if (!isWord("VqForm"))
            refuse(m_token.at,
                QStringLiteral("this is not a form file: it must begin with \"VqForm 1\", not %1")
                    .arg(describe(m_token)));
        advance();
        const FormToken version = m_token;
        if (version.kind != FormToken::Number || version.value.typeId() != QMetaType::Int)
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
        while (m_token.kind != FormToken::End) {
            if (int(form.controls.size()) == MaxFormControls)
                refuse(
                    m_token.at, QStringLiteral("a form may hold at most %1 controls").arg(MaxFormControls));
            FormControl c = control();
            const auto seen = names.constFind(c.name);
            if (seen != names.constEnd())
                refuse(c.nameAt,
                    QStringLiteral("the name %1 is already taken by the control on line %2")
                        .arg(quoted(c.name), QString::number(*seen)));
            names.insert(c.name, c.nameAt.line);
            form.controls.push_back(std::move(c));
        }
        return form;
    }

private:
    void advance() { m_token = m_lexer.next(); }

    bool isWord(const char *word) const
    {
        return m_token.kind == FormToken::Identifier && m_token.text == QLatin1String(word);
    }

    bool isPunctuation(char c) const
    {
        return m_token.kind == FormToken::Punctuation && m_token.text == QLatin1Char(c);
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
        if (m_token.kind != FormToken::Number ||
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
        if (m_token.kind != FormToken::Identifier && m_token.kind != FormToken::String)
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
        if (m_token.kind != FormToken::Identifier)
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
            if (m_token.kind == FormToken::End)
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
                        .arg(quoted(p.key), QString::number(*seen)));
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
        const FormToken t = m_token;
        if (t.kind == FormToken::String || t.kind == FormToken::Number) {
            advance();
            return t.kind == FormToken::String ? QVariant(t.text) : t.value;
        }
        if (isPunctuation('-')) {
            advance();
            if (!isWord("inf"))
                refuse(t.at, QStringLiteral("a minus sign belongs to a number or to \"inf\""));
            advance();
            return -std::numeric_limits<double>::infinity();
        }
        if (t.kind == FormToken::Identifier) {
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
        const FormToken t = m_token;
        const int type = t.value.typeId();
        const bool number = t.kind == FormToken::Number &&
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
        const FormToken family = m_token;
        if (family.kind != FormToken::String)
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
            // Held as Qt writes it back, so that the form written and read again holds the same font: Qt
            // writes some of the fields it reads with fewer digits (letter and word spacing).
            QFont kept;
            kept.fromString(f.toString());
            return kept;
        }
        expectPunctuation(',', QStringLiteral("after the font's family"));
        ShortFont shortForm;
        shortForm.family = family.text;
        shortForm.points = fontSize();
        while (isPunctuation(',')) {
            advance();
            const FormToken style = m_token;
            advance();
            if (style.kind != FormToken::Identifier) {
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

    FormLexer m_lexer;
    FormToken m_token;
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
