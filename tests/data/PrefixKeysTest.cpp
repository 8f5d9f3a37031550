#include "data/PrefixKeys.h"
#include "data/Collation.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace vq;

// The words may rule a text out only where the collation's own prefix test says it does not begin with
// the prefix, and may rule it in without that test only where the test agrees: checked for every pair of a
// mixed word list (accents, case, contractions of the locale, expansions, other scripts, combining marks,
// malformed UTF-8) and every head of up to six characters, under locales with contractions of their own.
TEST(PrefixKeys, AWordDecidesOnlyWhatTheCollationsPrefixTestDecides)
{
    const QStringList words {"", "a", "A", "ab", "abc", "ABD", "a-b", "a b", "a1", "Émile", "emile", "Emily",
        "émilie", "Zoe", "zoë", "Zürich", "Ångström", "Ærø", "aerial", "Straße", "strasse", "Strauss",
        "Øberg", "oberon", "Ölberg", "Łódź", "lodz", "Çelik", "celik", "ñu", "nu", "Ωμέγα", "東京",
        "e\u0301mile", "x\u0300", "12", "2", "_x", "~", "chata", "Chrudim", "hrad", "cesta", "col·lega",
        "coll", "colm", "A\u0308pple", "Apple", "Bertil", "Lluís", "lm", "Bakersfield", "baker", "bake", "Ba",
        "aab", "Aachen", "llama", "ñandú", "ǅemal", "Ĳssel", "ijssel", "Ŀa"};
    std::vector<std::string> texts;
    for (const QString &w : words)
        texts.push_back(w.toStdString());
    texts.push_back("ba\xC3");
    texts.push_back("\xE0\x81\x81xyz"); // an overlong sequence
    texts.push_back("b\x80k");
    std::vector<std::string> prefixes;
    for (const QString &w : words) {
        for (qsizetype n = 1; n <= std::min<qsizetype>(w.size(), 6); ++n)
            prefixes.push_back(w.left(n).toStdString());
    }
    prefixes.push_back("\xE0\x81\x81");
    for (const QLocale &locale : {QLocale(QLocale::English, QLocale::UnitedStates),
             QLocale(QLocale::Czech, QLocale::CzechRepublic), QLocale(QLocale::Danish, QLocale::Denmark),
             QLocale(QLocale::Spanish, QLocale::Spain), QLocale::c()}) {
        const Collation collation(locale);
        const PrefixKeys keys(collation);
        int decided = 0;
        for (const std::string &prefix : prefixes) {
            const PrefixKeys::Test test = keys.test(prefix);
            for (const std::string &text : texts) {
                const bool begins = collation.comparePrefix(text, prefix) == 0;
                if (!test.usable)
                    continue;
                const quint64 word = keys.word(text);
                const bool passes = test.passes(word);
                EXPECT_TRUE(passes || !begins)
                    << qPrintable(locale.name()) << ": '" << text << "' begins with '" << prefix << "'";
                if (test.decisive && word != PrefixKeys::FullCompare) {
                    ++decided;
                    EXPECT_EQ(passes, begins)
                        << qPrintable(locale.name()) << ": '" << text << "' ^ '" << prefix << "'";
                }
            }
        }
        EXPECT_GT(decided, 1000) << qPrintable(locale.name()); // the words do decide most pairs
    }
}
