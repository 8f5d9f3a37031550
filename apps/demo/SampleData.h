#pragma once

#include <QDate>
#include <QString>

#include <vector>

// The demo's sample business, made up row by row without any database: every row is a function of its
// number alone (a seeded mix, not a running random stream), so that each first run makes the same rows
// and a row can be checked without making the others.
namespace demo::sample {

// How many rows of each kind a first run makes: enough that the lookups show their speed.
inline constexpr int CustomerCount = 20000;
inline constexpr int ProductCount = 6000;
inline constexpr int OrderCount = 40000;

struct Category
{
    QString key; // unique, lower case
    QString parentKey; // empty for a top-level category
    QString name;
};

struct Customer
{
    QString code; // eight capital letters, unique
    QString name; // "Surname, Given"
    QString city;
    QString balance; // plain decimal text with two decimals
    QDate since;
};

struct Product
{
    QString code; // e.g. "FRU-00012", unique
    QString name;
    QString categoryKey; // always a category without children
    QString unitPrice; // plain decimal text with two decimals
};

struct OrderRow
{
    qint64 id; // 1-based, in date order
    QDate date;
    QString customerCode;
    QString productCode;
    int quantity;
    QString amount; // quantity times the product's unit price
    QString terms;
    QString city; // where it is delivered: the customer's city
};

// The category tree, parents before their children.
const std::vector<Category> &categories();
// The categories that products are filed under (those without children), in tree order.
const std::vector<Category> &leafCategories();
// Every city a customer may live in, in alphabetical order.
const std::vector<QString> &cities();
// The payment terms an order may carry; the first is the default of a new order.
const std::vector<QString> &paymentTerms();

// Row number i runs from 0 to the kind's count - 1.
Customer customer(int i);
Product product(int i);
OrderRow order(int i);

// The first and last order dates the sample spans.
QDate firstOrderDate();
QDate lastOrderDate();

} // namespace demo::sample
