#include "platform/FormatPicture.h"

#include "platform/NumberText.h"

#include <QList>

namespace vq {

namespace {

struct Token
{
    enum Kind { Zero, Hash, Literal };
    Kind kind;
    QString text; // for literals
};

struct Section
{
    bool blank = true; // the section's picture text was empty
    QList<Token> integer, fraction, exponent;
    qsizetype integerPlaceholders = 0, fractionPlaceholders = 0, exponentPlaceholders = 0;
    bool hasPoint = false;
    bool grouping = false;
    bool scientific = false;
    QChar exponentMark;
    bool exponentPlus = false;
    qint64 scale = 0; // power of ten applied before rounding (% and trailing commas)
};

struct Shown
{
    QString text;
    bool zero;
};

// Emits integer digits into the placeholders, right-aligned; digits beyond the placeholders go in front
// of the first one, and without any placeholder at the end of the part.
void emitInteger(QString &out, const QList<Token> &tokens, qsizetype placeholders, const QByteArray &digits,
    bool grouping, const QString &separator)
{
    bool pendingSeparator = false;
    // `place` counts digits from the right (0 for units); a separator goes before the next digit after
    // each multiple of three, so that none is left dangling behind the last one.
    auto digit = [&](char c, qint64 place) {
        if (pendingSeparator) {
            out += separator;
            pendingSeparator = false;
        }
        out += QLatin1Char(c);
        if (grouping && place > 0 && place % 3 == 0)
            pendingSeparator = true;
    };
    const qsizetype count = digits.size();
    qsizetype k = 0;
    for (const Token &token : tokens) {
        if (token.kind == Token::Literal) {
            out += token.text;
            continue;
        }
        const qsizetype j = count - placeholders + k;
        if (k == 0) {
            for (qsizetype t = 0; t < j; ++t)
                digit(digits.at(t), count - 1 - t);
        }
        if (j >= 0)
            digit(digits.at(j), placeholders - 1 - k);
        else if (token.kind == Token::Zero)
            digit('0', placeholders - 1 - k);
        ++k;
    }
    if (placeholders == 0) {
        for (qsizetype t = 0; t < count; ++t)
            digit(digits.at(t), count - 1 - t);
    }
}

// Emits fraction digits; a # placeholder is left empty when it and every digit after it are zeros that no
// 0 placeholder asks for.
void emitFraction(QString &out, const QList<Token> &tokens, const QByteArray &digits)
{
    qsizetype last = -1;
    {
        qsizetype m = 0;
        for (const Token &token : tokens) {
            if (token.kind == Token::Literal)
                continue;
            if (digits.at(m) != '0' || token.kind == Token::Zero)
                last = m;
            ++m;
        }
    }
    qsizetype m = 0;
    for (const Token &token : tokens) {
        if (token.kind == Token::Literal) {
            out += token.text;
            continue;
        }
        if (m <= last)
            out += QLatin1Char(digits.at(m));
        ++m;
    }
}

Shown applySection(const Section &s, Decimal value, const QLocale &locale)
{
    value.shift(s.scale);
    qint64 exponent = 0;
    if (s.scientific && !value.isZero()) {
        exponent = value.pointPosition() - s.integerPlaceholders;
        value.shift(-exponent);
        value.roundToDecimals(s.fractionPlaceholders);
        if (value.pointPosition() > s.integerPlaceholders) { // rounded up to one more digit
            value.shift(-1);
            ++exponent;
        }
    } else {
        value.roundToDecimals(s.fractionPlaceholders);
    }

    QString out;
    emitInteger(
        out, s.integer, s.integerPlaceholders, value.integerDigits(), s.grouping, locale.groupSeparator());
    if (s.hasPoint)
        out += locale.decimalPoint();
    emitFraction(out, s.fraction, value.fractionDigits(s.fractionPlaceholders));
    if (s.scientific) {
        out += s.exponentMark;
        if (exponent < 0)
            out += QLatin1Char('-');
        else if (s.exponentPlus)
            out += QLatin1Char('+');
        const QByteArray digits =
            exponent == 0 ? QByteArray() : QByteArray::number(exponent < 0 ? -exponent : exponent);
        emitInteger(out, s.exponent, s.exponentPlaceholders, digits, false, {});
    }
    return {out, value.isZero()};
}

QList<Section> parse(const QString &picture)
{
    QList<Section> sections(1);
    enum { Integer, Fraction, Exponent } part = Integer;
    qsizetype pendingCommas = 0;

    auto tokens = [&]() -> QList<Token> & {
        Section &s = sections.back();
        return part == Integer ? s.integer : part == Fraction ? s.fraction : s.exponent;
    };
    auto literal = [&](const QString &text) {
        QList<Token> &list = tokens();
        if (!list.isEmpty() && list.back().kind == Token::Literal)
            list.back().text += text;
        else
            list.append(Token {Token::Literal, text});
    };
    // Commas after the last integer placeholder scale rather than group.
    auto endInteger = [&]() {
        Section &s = sections.back();
        if (part == Integer && s.integerPlaceholders > 0)
            s.scale -= 3 * pendingCommas;
        pendingCommas = 0;
    };

    const qsizetype n = picture.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = picture.at(i);
        Section &s = sections.back();
        if (c == QLatin1Char(';')) {
            endInteger();
            if (sections.size() == 3)
                break; // a fourth section (for a null value) has no meaning here
            sections.append(Section());
            part = Integer;
            continue;
        }
        s.blank = false;
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            const Token::Kind kind = c == QLatin1Char('0') ? Token::Zero : Token::Hash;
            tokens().append(Token {kind, {}});
            if (part == Integer) {
                if (pendingCommas > 0 && s.integerPlaceholders > 0)
                    s.grouping = true;
                pendingCommas = 0;
                ++s.integerPlaceholders;
            } else if (part == Fraction) {
                ++s.fractionPlaceholders;
            } else {
                ++s.exponentPlaceholders;
            }
        } else if (c == QLatin1Char(',')) {
            if (part == Integer)
                ++pendingCommas;
        } else if (c == QLatin1Char('.') && part == Integer) {
            endInteger();
            s.hasPoint = true;
            part = Fraction;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && part != Exponent && i + 1 < n &&
            (picture.at(i + 1) == QLatin1Char('+') || picture.at(i + 1) == QLatin1Char('-')) &&
            s.integerPlaceholders + s.fractionPlaceholders > 0) {
            endInteger();
            s.scientific = true;
            s.exponentMark = c;
            s.exponentPlus = picture.at(++i) == QLatin1Char('+');
            part = Exponent;
        } else if (c == QLatin1Char('%')) {
            s.scale += 2;
            literal(c);
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < n)
                literal(picture.at(++i));
        } else if (c == QLatin1Char('"')) {
            const qsizetype close = picture.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            literal(picture.mid(i + 1, end - i - 1));
            i = end;
        } else {
            literal(c);
        }
    }
    endInteger();
    return sections;
}

} // namespace

struct FormatPicture::Private
{
    QList<Section> sections;
};

FormatPicture::FormatPicture(const QString &picture)
    : d(std::make_unique<Private>())
{
    d->sections = parse(picture);
}

FormatPicture::~FormatPicture() = default;

QString FormatPicture::apply(const Decimal &value, const QLocale &locale) const
{
    const QList<Section> &sections = d->sections;
    const Section &positive = sections.at(0);
    if (positive.blank)
        return numberToText(value.toDouble(), locale);
    const Section *negative = sections.size() > 1 && !sections.at(1).blank ? &sections.at(1) : nullptr;
    const Section *zero = sections.size() > 2 && !sections.at(2).blank ? &sections.at(2) : nullptr;

    const bool isNegative = value.isNegative() && !value.isZero();
    const Shown shown =
        applySection(isNegative && negative ? *negative : positive, value.magnitude(), locale);
    if (shown.zero) {
        // A value that shows as zero is zero: no minus sign, and the zero section when there is one.
        if (zero)
            return applySection(*zero, Decimal(), locale).text;
        return isNegative ? applySection(positive, Decimal(), locale).text : shown.text;
    }
    if (isNegative && !negative)
        return QLatin1Char('-') + shown.text;
    return shown.text;
}

} // namespace vq
