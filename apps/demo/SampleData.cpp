#include "SampleData.h"

#include "Order.h"

#include <array>

namespace demo::sample {

namespace {

// SplitMix64's finaliser: a well-spread 64-bit value for each (kind, row, draw), so that rows do not depend
// on one another and a change to one kind leaves the others as they were.
quint64 mix(quint64 kind, quint64 row, quint64 draw = 0)
{
    quint64 z = kind * 0x9E3779B97F4A7C15ull + (row << 8) + draw + 20260101;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

template<typename List>
const auto &pick(const List &list, quint64 value)
{
    return list[value % std::size(list)];
}

enum Kind : quint64 { CustomerKind = 1, ProductKind, OrderKind };

const char *const Surnames[] = {"Adams", "Baker", "Bakersfield", "Carter", "Davies", "Dubois", "Evans",
    "Fischer", "Garcia", "Hansen", "Hughes", "Ibsen", "Jensen", "Keller", "Kowalski", "Lambert", "Larsen",
    "Moreau", "Murphy", "Novak", "Olsen", "Patel", "Peters", "Quinn", "Rossi", "Santos", "Schmidt", "Tanaka",
    "Thomas", "Underwood", "Vargas", "Weber", "Walker", "Wright", "Young", "Zimmermann"};
const char *const GivenNames[] = {"Anna", "Ben", "Clara", "David", "Eva", "Frank", "Grace", "Hugo", "Iris",
    "Jonas", "Karin", "Liam", "Mia", "Noah", "Olga", "Paul", "Rosa", "Sven", "Tara", "Viktor", "Wanda",
    "Yusuf", "Zoe", "Marta"};

// Per leaf category, in leafCategories() order: the goods, and a word that varies them.
struct Goods
{
    std::array<const char *, 6> nouns;
    std::array<const char *, 5> kinds;
};
const Goods LeafGoods[] = {
    {{"Apples", "Pears", "Plums", "Cherries", "Oranges", "Grapes"},
        {"Organic", "Fresh", "Dried", "Select", "Local"}},
    {{"Cheddar", "Gouda", "Butter", "Yoghurt", "Cream", "Milk"}, {"Aged", "Mild", "Farm", "Light", "Whole"}},
    {{"Rye bread", "Baguette", "Rolls", "Croissants", "Crackers", "Scones"},
        {"Wholegrain", "Classic", "Seeded", "Sourdough", "Mini"}},
    {{"Apple juice", "Lemonade", "Mineral water", "Iced tea", "Cola", "Ginger ale"},
        {"Still", "Sparkling", "Sugar-free", "Family", "Bottled"}},
    {{"Hammer", "Screwdriver", "Saw", "Pliers", "Wrench", "Chisel"},
        {"Steel", "Compact", "Heavy-duty", "Pro", "Insulated"}},
    {{"Screws", "Nails", "Bolts", "Washers", "Anchors", "Rivets"},
        {"Brass", "Zinc", "Stainless", "Wood", "Masonry"}},
    {{"Wall paint", "Primer", "Varnish", "Wood stain", "Enamel", "Roller"},
        {"White", "Matt", "Gloss", "Outdoor", "Quick-dry"}},
    {{"Copy paper", "Notepad", "Envelopes", "Card stock", "Labels", "Index cards"},
        {"A4", "A5", "Recycled", "Premium", "Coloured"}},
    {{"Ballpoint", "Fountain pen", "Marker", "Pencil", "Highlighter", "Fineliner"},
        {"Blue", "Black", "Red", "Assorted", "Refillable"}},
    {{"Ring binder", "Lever arch file", "Wallet", "Box file", "Divider", "Sleeve"},
        {"A4", "Slim", "Wide", "Plastic", "Board"}},
    {{"Tomato seeds", "Basil seeds", "Lawn seed", "Sunflower seeds", "Carrot seeds", "Bean seeds"},
        {"Heirloom", "Organic", "Dwarf", "Giant", "Early"}},
    {{"Flower pot", "Planter", "Seed tray", "Hanging basket", "Window box", "Saucer"},
        {"Terracotta", "Plastic", "Glazed", "Small", "Large"}},
};
const char *const Sizes[] = {"", " 250 g", " 500 g", " 1 kg", " pack of 10", " pack of 50", " box", " set"};

} // namespace

const std::vector<Category> &categories()
{
    static const std::vector<Category> tree = [] {
        const char *const rows[][3] = {{"", "food", "Food"}, {"food", "fruit", "Fruit"},
            {"food", "dairy", "Dairy"}, {"food", "bakery", "Bakery"}, {"food", "drinks", "Drinks"},
            {"", "hardware", "Hardware"}, {"hardware", "tools", "Tools"},
            {"hardware", "fasteners", "Fasteners"}, {"hardware", "paint", "Paint"},
            {"", "stationery", "Stationery"}, {"stationery", "paper", "Paper"},
            {"stationery", "pens", "Pens"}, {"stationery", "folders", "Folders"}, {"", "garden", "Garden"},
            {"garden", "seeds", "Seeds"}, {"garden", "pots", "Pots"}};
        std::vector<Category> list;
        for (const auto &row : rows)
            list.push_back(
                {QString::fromLatin1(row[1]), QString::fromLatin1(row[0]), QString::fromLatin1(row[2])});
        return list;
    }();
    return tree;
}

const std::vector<Category> &leafCategories()
{
    static const std::vector<Category> leaves = [] {
        std::vector<Category> list;
        for (const Category &c : categories()) {
            if (!c.parentKey.isEmpty())
                list.push_back(c);
        }
        return list;
    }();
    return leaves;
}

const std::vector<QString> &cities()
{
    static const std::vector<QString> list = {"Aberdeen", "Antwerp", "Bergen", "Bilbao", "Bologna",
        "Bordeaux", "Brno", "Cork", "Dresden", "Eindhoven", "Florence", "Gdansk", "Ghent", "Graz", "Hamburg",
        "Innsbruck", "Krakow", "Leeds", "Lille", "Linz", "Lyon", "Malmo", "Nantes", "Oporto", "Prague",
        "Riga", "Salzburg", "Seville", "Tartu", "Turin", "Utrecht", "Valencia"};
    return list;
}

const std::vector<QString> &paymentTerms()
{
    static const std::vector<QString> list = {
        "Net 30 days", "Net 10 days", "Net 60 days", "Cash on delivery", "Prepaid"};
    return list;
}

Customer customer(int i)
{
    const quint64 r = mix(CustomerKind, quint64(i));
    const QString surname = QLatin1String(pick(Surnames, r));
    const QString given = QLatin1String(pick(GivenNames, r >> 8));
    // Four letters of the surname and the row number in four letters: unique, and letters only as the
    // form's customer field takes them.
    QString code = surname.left(4).toUpper();
    for (int n = i, k = 0; k < 4; ++k, n /= 26)
        code.insert(4, QChar(u'A' + n % 26));
    return {code, surname + QStringLiteral(", ") + given, pick(cities(), r >> 16),
        textFromCents(qint64((r >> 24) % 2000000)), QDate(2000, 1, 1).addDays(qint64((r >> 48) % 9000))};
}

Product product(int i)
{
    const quint64 r = mix(ProductKind, quint64(i));
    const std::size_t leaf = std::size_t(i) % leafCategories().size();
    const Category &category = leafCategories()[leaf];
    const Goods &goods = LeafGoods[leaf];
    const QString name = QLatin1String(pick(goods.kinds, r)) + QLatin1Char(' ') +
        QString::fromLatin1(pick(goods.nouns, r >> 8)).toLower() + QLatin1String(pick(Sizes, r >> 16));
    const QString code = category.key.left(3).toUpper() + QLatin1Char('-') +
        QStringLiteral("%1").arg(i + 1, 5, 10, QLatin1Char('0'));
    return {code, name, category.key, textFromCents(qint64(50 + (r >> 24) % 50000))};
}

QDate firstOrderDate()
{
    return QDate(2024, 1, 2);
}

QDate lastOrderDate()
{
    return QDate(2026, 6, 30);
}

OrderRow order(int i)
{
    const quint64 r = mix(OrderKind, quint64(i));
    const Customer buyer = customer(int(r % CustomerCount));
    const Product goods = product(int((r >> 20) % ProductCount));
    // Mostly small quantities, now and then a large one.
    const int quantity = (r >> 40) % 10 == 0 ? int(20 + (r >> 44) % 480) : int(1 + (r >> 44) % 12);
    const qint64 span = firstOrderDate().daysTo(lastOrderDate());
    return {i + 1, firstOrderDate().addDays(span * i / (OrderCount - 1)), buyer.code, goods.code, quantity,
        amountFor(goods.unitPrice, quantity), pick(paymentTerms(), (r >> 56) % 7 < 4 ? 0 : r >> 58),
        buyer.city};
}

} // namespace demo::sample
