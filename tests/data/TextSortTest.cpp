#include "TestDatabase.h"

#include "data/Collation.h"
#include "data/Connection.h"
#include "data/Recordset.h"

#include <QCollator>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>

#include <gtest/gtest.h>

using namespace vq;

namespace {

// ICU through Qt, at the strength the record set sorts with: case ignored, accents not.
QCollator oracleFor(const QLocale &locale)
{
    QCollator c(locale);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// The sign of the bytewise comparison of two texts' sort keys, or nullopt when either has none.
std::optional<int> keyOrder(const Collation &collation, const QByteArray &a, const QByteArray &b)
{
    std::string ka(Collation::sortKeyRoom(size_t(a.size())), '\0');
    std::string kb(Collation::sortKeyRoom(size_t(b.size())), '\0');
    const qsizetype la = collation.sortKey(a.toStdString(), ka.data());
    const qsizetype lb = collation.sortKey(b.toStdString(), kb.data());
    if (la < 0 || lb < 0)
        return std::nullopt;
    return sign(
        std::string_view(ka).substr(0, size_t(la)).compare(std::string_view(kb).substr(0, size_t(lb))));
}

// Root order with English, tailored orders with Swedish (letters after z), Czech ("ch" a letter of its own)
// and Spanish.
const QLocale Locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
    QLocale(QLocale::Swedish, QLocale::Sweden), QLocale(QLocale::Czech, QLocale::CzechRepublic),
    QLocale(QLocale::Spanish, QLocale::Spain)};

} // namespace

// The fast paths read ASCII through a table of their own: every pair of printable characters, alone and
// between letters of another case, and every pair of a mixed word list (accents, case, expansions,
// contractions of the locales, other scripts, combining marks) must order as ICU orders them, by comparison
// and by sort key; a prefix test that does not match orders as the full comparison does.
TEST(TextCollation, EveryAsciiPairAndMixedWordsOrderAsTheCollatorDoes)
{
    std::vector<std::pair<QByteArray, QByteArray>> pairs;
    for (char a = 0x20; a < 0x7F; ++a) {
        for (char b = 0x20; b < 0x7F; ++b) {
            pairs.emplace_back(QByteArray(1, a), QByteArray(1, b));
            pairs.emplace_back(QByteArray("x") + a + "Y", QByteArray("X") + b + "y");
        }
    }
    const QStringList words {"", "a", "A", "ab", "abc", "ABD", "a-b", "a b", "a1", "Émile", "emile", "Emily",
        "émilie", "Zoe", "zoë", "Zürich", "Ångström", "Ærø", "aerial", "Straße", "strasse", "Strauss",
        "Øberg", "oberon", "Ölberg", "Łódź", "lodz", "Çelik", "celik", "ñu", "nu", "Ωμέγα", "東京",
        "e\u0301mile", "x\u0300", "12", "2", "_x", "~", "chata", "hrad", "cesta", "col·lega", "coll", "colm",
        "A\u0308pple", "Apple", "Bertil", "Lluís", "lm"};
    for (const QString &a : words) {
        for (const QString &b : words)
            pairs.emplace_back(a.toUtf8(), b.toUtf8());
    }
    for (const QLocale &locale : Locales) {
        const Collation collation(locale);
        QCollator oracle = oracleFor(locale);
        for (const auto &[left, right] : pairs) {
            const int expected = sign(oracle.compare(QString::fromUtf8(left), QString::fromUtf8(right)));
            const int c = collation.compare(left.toStdString(), right.toStdString());
            ASSERT_EQ(c, expected) << qPrintable(locale.name()) << " [" << left.constData() << "] ["
                                   << right.constData() << "]";
            const std::optional<int> keys = keyOrder(collation, left, right);
            if (keys) {
                ASSERT_EQ(*keys, expected) << qPrintable(locale.name()) << " [" << left.constData() << "] ["
                                           << right.constData() << "]";
            }
            const int p = collation.comparePrefix(left.toStdString(), right.toStdString());
            if (p != 0) {
                ASSERT_EQ(p, c) << qPrintable(locale.name()) << " [" << left.constData() << "] ^ ["
                                << right.constData() << "]";
            }
        }
    }
    const Collation us(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct
    {
        const char *text, *prefix;
        bool begins;
    } prefixes[] = {{"Émile", "emi", true}, {"emile", "ÉMI", true}, {"Bakersfield", "BAKERS", true},
        {"Bak", "baker", false}, {"Zoë", "zoe", true}, {"Ølberg", "ol", true}, {"Baker", "", true},
        {"e\u0301mile", "emi", true}, {"Zoe", "zoë", true}, {"abc", "abd", false}};
    for (const auto &c : prefixes)
        EXPECT_EQ(us.comparePrefix(QString::fromUtf8(c.text).toStdString(), c.prefix) == 0, c.begins)
            << c.text << " ^ " << c.prefix;
}

// Random words with accents, case variants, expansions, characters outside Latin, repeats, long shared
// beginnings and nulls, sorted by the record set in several locales, ascending, descending and with a
// second field, against a stable sort of the fetched rows by ICU's comparison.
TEST(TextSort, OrdersAsTheCollatorWithTiesInFetchOrder)
{
    const QStringList pieces {"a", "A", "á", "Á", "à", "ä", "Ä", "å", "æ", "Æ", "ae", "AE", "b", "c", "ch",
        "h", "e", "é", "É", "ê", "ë", "o", "ö", "ø", "Ø", "ss", "ß", "z", "Z", "ž", " ", "-", "1", "東", "Ω",
        "ł", "Ł", "ı", "ǆ", "ĳ", "l·l"};
    const QStringList repeated {
        "Müller", "MÜLLER", "muller", "Émile", "emile", "Zoë", "zoe", "Ærø", "Straße"};
    const QString longBeginning = QStringLiteral("Abcdefghijklmnopqrstuvwxyzabcdé");
    QRandomGenerator rng(20261207);
    QStringList statements {
        QStringLiteral("CREATE TABLE w (id integer, word varchar(60), n integer)"), QStringLiteral("BEGIN")};
    QList<std::optional<QString>> words;
    QList<int> numbers;
    for (int i = 0; i < 2500; ++i) {
        std::optional<QString> word;
        const quint32 kind = rng.bounded(10);
        if (kind == 0) {
            word = std::nullopt;
        } else if (kind <= 3) {
            word = repeated[int(rng.bounded(repeated.size()))];
        } else if (kind <= 5) {
            // Hundreds of rows that agree on their first eight characters and differ after them.
            static const QStringList given {"Anna", "anna", "Eva", "ÉVA", "Ève"};
            word = QStringLiteral("Zimmermann ") + given[int(rng.bounded(given.size()))];
        } else {
            QString w =
                kind == 6 ? longBeginning.left(int(rng.bounded(quint32(longBeginning.size())))) : QString();
            const int count = int(rng.bounded(7));
            for (int k = 0; k < count; ++k)
                w += pieces[int(rng.bounded(pieces.size()))];
            word = w;
        }
        const int n = int(rng.bounded(4));
        words.append(word);
        numbers.append(n);
        statements << QStringLiteral("INSERT INTO w VALUES (%1, %2, %3)")
                          .arg(i)
                          .arg(word ? QStringLiteral("'%1'").arg(*word) : QStringLiteral("NULL"))
                          .arg(n);
    }
    statements << QStringLiteral("COMMIT");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("words.db"));
    testdb::makeSqlite(file, statements);
    Connection connection;
    connection.Open(testdb::nativeString(file));

    for (const QLocale &locale : Locales) {
        QLocale::setDefault(locale);
        QCollator oracle = oracleFor(locale);
        Recordset rs;
        rs.Open(QStringLiteral("w"), &connection, Recordset::adOpenStatic);
        const struct
        {
            const char *sort;
            bool descending;
            bool byNumber;
        } cases[] = {{"word", false, false}, {"word DESC", true, false}, {"[word], n DESC", false, true}};
        for (const auto &c : cases) {
            std::vector<int> expected(size_t(words.size()));
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                const auto &wa = words[a], &wb = words[b];
                int order = 0;
                if (!wa || !wb)
                    order = (!wa && !wb) ? 0 : (!wa ? -1 : 1);
                else
                    order = sign(oracle.compare(*wa, *wb));
                if (c.descending)
                    order = -order;
                if (order == 0 && c.byNumber)
                    order = numbers[b] - numbers[a];
                return order < 0;
            });
            rs.setSort(QString::fromLatin1(c.sort));
            ASSERT_EQ(rs.rowCount(), qsizetype(expected.size()));
            for (qsizetype r = 0; r < rs.rowCount(); ++r) {
                const int id = rs.value(r, 0).toInt();
                if (id != expected[size_t(r)]) {
                    ADD_FAILURE() << qPrintable(locale.name()) << " " << c.sort << " row " << r << ": "
                                  << qPrintable(rs.text(r, 1)) << " (" << id << ") where ICU puts "
                                  << qPrintable(words[expected[size_t(r)]].value_or(QStringLiteral("<null>")))
                                  << " (" << expected[size_t(r)] << ")";
                    break;
                }
            }
        }
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
