#include "DemoWindow.h"
#include "FieldLookup.h"
#include "OrderBook.h"
#include "OrderForm.h"
#include "SampleData.h"
#include "SampleDatabase.h"

#include "combos/VqComboBox.h"
#include "combos/VqHierarchyCombo.h"
#include "data/Adodc.h"
#include "data/Recordset.h"
#include "dates/VqDTPicker.h"
#include "helplist/frmVqHelpList.h"
#include "lists/VqPortableListBox.h"
#include "platform/DateText.h"
#include "textbox/VqTextBox.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

namespace s = demo::sample;

namespace {

// One query's first row, read with sqlite3 itself rather than through the library.
QStringList firstRow(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    QStringList row;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    if (st && sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            row += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return row;
}

QLineEdit *text1(QWidget *control)
{
    return control->findChild<QLineEdit *>(QStringLiteral("Text1"));
}

// The sample database is made once for the program; each test works on a copy of its own.
class OrderEntry : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        made = new QTemporaryDir;
        ASSERT_TRUE(SampleDatabase::ensure(made->filePath(QStringLiteral("orders.db"))));
    }
    static void TearDownTestSuite() { delete std::exchange(made, nullptr); }

    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("orders.db"));
        ASSERT_TRUE(QFile::copy(made->filePath(QStringLiteral("orders.db")), path));
        window = std::make_unique<DemoWindow>(path);
        form = window->form();
        ASSERT_TRUE(vq::test::showActive(window.get()));
    }

    void click(const char *button)
    {
        auto *control = form->control(QString::fromLatin1(button));
        ASSERT_NE(control, nullptr) << button;
        QTest::mouseClick(control->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    }

    // Types into a field as a clerk does: click into it, type, and TAB away.
    void type(QWidget *control, const QString &text)
    {
        QLineEdit *edit = text1(control);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    // Presses F1 in a field and runs `inside` in the lookup window once it shows; a window left open is
    // closed, so a failed check cannot hang the test.
    void lookUp(VqTextBox *field, const std::function<void(frmVqHelpList *)> &inside)
    {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, inside] {
            frmVqHelpList *w = frmVqHelpList::instance();
            if (!w->isOpen() || !w->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            inside(w);
            if (w->isOpen())
                w->Unload();
        });
        poll->start(10);
        QTest::mouseClick(text1(field), Qt::LeftButton);
        QTest::keyClick(text1(field), Qt::Key_F1);
    }

    static void pick(frmVqHelpList *w, const QString &search)
    {
        QTest::keyClicks(w->findChild<QLineEdit *>(QStringLiteral("txtItem")), search);
        QTest::mouseClick(w->findChild<QWidget *>(QStringLiteral("VqOKButton1"))->findChild<QPushButton *>(),
            Qt::LeftButton);
    }

    QString position() const { return window->statusBar()->findChild<QLabel *>()->text(); }

    static inline QTemporaryDir *made = nullptr;
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<DemoWindow> window;
    OrderForm *form = nullptr;
};

} // namespace

TEST_F(OrderEntry, TheButtonsPageThroughTheOrdersStoppingAtTheEndsAndAtUnsavedChanges)
{
    auto shows = [&](int row) {
        const s::OrderRow o = s::order(row);
        EXPECT_EQ(form->orderNo()->Text(), QString::number(o.id));
        EXPECT_EQ(form->orderDate()->Text(), vq::dateToText(o.date));
        EXPECT_EQ(form->customer()->Text(), o.customerCode);
        EXPECT_EQ(form->product()->Text(), o.productCode);
        EXPECT_EQ(form->quantity()->Value(), QString::number(o.quantity));
        EXPECT_EQ(form->amount()->Value(), o.amount);
        EXPECT_EQ(form->terms()->Text(), o.terms);
        EXPECT_EQ(form->city()->findChild<QComboBox *>(QStringLiteral("txtList"))->currentText(), o.city);
        EXPECT_EQ(position(), QStringLiteral("Order %1 of 40,000").arg(QLocale().toString(o.id)));
    };
    shows(s::OrderCount - 1); // the window opens on the last order
    click("cmdFirst");
    shows(0);
    click("cmdNext");
    click("cmdNext");
    shows(2);
    click("cmdPrevious");
    shows(1);
    click("cmdPrevious");
    click("cmdPrevious");
    shows(0);
    click("cmdLast");
    click("cmdNext");
    shows(s::OrderCount - 1);
    // The names beside the codes come from the customer and product files.
    const QStringList names = firstRow(path,
        QStringLiteral(
            "SELECT c.name, p.name, k.name FROM orders o JOIN customers c ON c.code = o.customer_code "
            "JOIN products p ON p.code = o.product_code JOIN categories k ON k.key = p.category_key "
            "WHERE o.id = 40000"));
    EXPECT_EQ(
        QStringList({form->customerName()->Text(), form->productName()->Text(), form->category()->Text()}),
        names);
    // A changed order is not left until it is saved or its changes are dropped.
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    vq::test::ProcessRegistration registration {&factory};
    type(form->quantity(), QStringLiteral("77"));
    EXPECT_TRUE(window->isChanged());
    click("cmdFirst");
    click("cmdNew");
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(recorder.calls.size(), 3);
    EXPECT_TRUE(recorder.calls[0].text.contains(QLatin1String("not saved")));
    EXPECT_EQ(form->quantity()->Value(), "77");
    click("cmdCancel");
    EXPECT_FALSE(window->isChanged());
    shows(s::OrderCount - 1);
    click("cmdFirst");
    shows(0);
    EXPECT_EQ(recorder.calls.size(), 3);
}

TEST_F(OrderEntry, LookupsFillTheFieldsAndTheCategoryNarrowsTheProducts)
{
    click("cmdNew");
    type(form->quantity(), QStringLiteral("3"));
    lookUp(form->customer(), [](frmVqHelpList *w) {
        EXPECT_EQ(w->Adodc1()->Recordset()->RecordCount(), s::CustomerCount);
        pick(w, QStringLiteral("Bak"));
    });
    const QString code = form->customer()->Text();
    EXPECT_TRUE(code.startsWith(QLatin1String("BAKE"))) << code.toStdString();
    EXPECT_TRUE(form->customerName()->Text().startsWith(QLatin1String("Baker, ")));
    EXPECT_EQ(QStringList({form->customerName()->Text(), form->city()->Text()}),
        firstRow(path, QStringLiteral("SELECT name, city FROM customers WHERE code = '%1'").arg(code)));

    form->category()->setText(QStringLiteral("Stationery"));
    lookUp(form->product(), [](frmVqHelpList *w) {
        // Paper, pens and folders: the three leaves under the chosen category.
        EXPECT_EQ(
            w->Adodc1()->Recordset()->RecordCount(), s::ProductCount * 3 / int(s::leafCategories().size()));
        pick(w, QStringLiteral("Blue"));
    });
    const QString product = form->product()->Text();
    EXPECT_TRUE(product.startsWith(QLatin1String("PEN-"))) << product.toStdString();
    EXPECT_EQ(form->category()->Text(), "Pens");
    EXPECT_EQ(QStringList({form->productName()->Text(), form->amount()->Value()}),
        firstRow(path,
            QStringLiteral("SELECT name, printf('%.2f', 3 * unit_price) FROM products WHERE code = '%1'")
                .arg(product)));

    // A lookup closed without a pick leaves the fields as they were.
    lookUp(form->customer(), [](frmVqHelpList *w) {
        QTest::keyClick(w->findChild<QLineEdit *>(QStringLiteral("txtItem")), Qt::Key_Escape);
    });
    EXPECT_EQ(form->customer()->Text(), code);
}

TEST_F(OrderEntry, SavingWritesTheOrderAndAnIncompleteOneIsRefusedWithAWarning)
{
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    vq::test::ProcessRegistration registration {&factory};

    click("cmdNew");
    EXPECT_EQ(position(), "New order");
    click("cmdSave");
    ASSERT_EQ(recorder.calls.size(), 1);
    EXPECT_TRUE(recorder.calls[0].text.contains(QLatin1String("customer")))
        << recorder.calls[0].text.toStdString();
    EXPECT_EQ(window->book()->count(), s::OrderCount);

    // Codes typed in full fill the names beside them as the field is left.
    const s::Customer buyer = s::customer(1234);
    const s::Product goods = s::product(77);
    type(form->customer(), buyer.code.toLower()); // the field turns it to capitals
    EXPECT_EQ(form->customerName()->Text(), buyer.name);
    type(form->product(), goods.code);
    EXPECT_EQ(form->productName()->Text(), goods.name);
    type(form->quantity(), QStringLiteral("12"));
    EXPECT_EQ(form->amount()->Value(), demo::amountFor(goods.unitPrice, 12));
    type(form->orderDate(), QStringLiteral("03152025"));
    form->terms()->setText(QStringLiteral("Prepaid"));
    click("cmdSave");
    EXPECT_EQ(recorder.calls.size(), 1);
    const QString id = QString::number(s::OrderCount + 1);
    EXPECT_EQ(form->orderNo()->Text(), id);
    EXPECT_EQ(position(), "Order 40,001 of 40,001");
    EXPECT_EQ(firstRow(path,
                  QStringLiteral("SELECT order_date, customer_code, product_code, quantity, printf('%.2f', "
                                 "amount), terms, city FROM orders WHERE id = %1")
                      .arg(id)),
        QStringList({"2025-03-15", buyer.code, goods.code, "12", demo::amountFor(goods.unitPrice, 12),
            "Prepaid", buyer.city}));

    // Saving it again after a change updates the same row.
    type(form->quantity(), QStringLiteral("2"));
    click("cmdSave");
    EXPECT_EQ(firstRow(path, QStringLiteral("SELECT COUNT(*), MAX(quantity) FROM orders WHERE id > 40000")),
        QStringList({"1", "2"}));
    // A fresh window over the file finds it.
    window = std::make_unique<DemoWindow>(path);
    EXPECT_EQ(window->form()->orderNo()->Text(), id);
    EXPECT_EQ(window->form()->quantity()->Value(), "2");
}

TEST_F(OrderEntry, TheCityListIsReadThroughTheDataSourceTheDemoWrites)
{
    QFile dsn(dir.filePath(QStringLiteral("orders.dsn")));
    ASSERT_TRUE(dsn.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromUtf8(dsn.readAll()), QStringLiteral("[ODBC]\nDRIVER=SQLite3\nDatabase=%1\n").arg(path));
    VqPortableListBox *city = form->city();
    ASSERT_EQ(city->ListCount(), int(s::cities().size()));
    for (int i = 0; i < city->ListCount(); ++i)
        EXPECT_EQ(city->List(i), s::cities()[std::size_t(i)]);
}
