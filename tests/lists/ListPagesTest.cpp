#include "frame/PropertyPageDialog.h"
#include "lists/VqListBox.h"
#include "lists/VqListGeneral.h"
#include "lists/VqPListGeneral.h"
#include "lists/VqPortableListBox.h"
#include "support/Forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The dialog shown and active, with the General page's query field focused as a designer would click it.
QPlainTextEdit *openQueryField(vq::PropertyPageDialog &dialog)
{
    EXPECT_TRUE(vq::test::showActive(&dialog));
    auto *query = dialog.pages().first()->findChild<QPlainTextEdit *>(QStringLiteral("txtQuery"));
    query->setFocus(Qt::MouseFocusReason);
    query->moveCursor(QTextCursor::End);
    return query;
}

} // namespace

TEST(ListPages, EnterInTheQueryAppliesItToTheFirstControlAndClosesTheDialog)
{
    VqPortableListBox first;
    VqPortableListBox second;
    first.setQuery(QStringLiteral("SELECT name FROM city"));
    first.setDSNName(QStringLiteral("/data/first.dsn"));
    second.setQuery(QStringLiteral("SELECT other"));
    vq::PropertyPageDialog dialog(QList<QObject *>({&first, &second}));
    // The portable list's own page has no behaviour; the list box's page is the one that edits Query.
    auto *page = new VqListGeneral;
    dialog.addPage(page);
    dialog.tabs()->setCurrentWidget(page);
    ASSERT_TRUE(vq::test::showActive(&dialog));
    auto *query = page->findChild<QPlainTextEdit *>(QStringLiteral("txtQuery"));
    EXPECT_EQ(query->toPlainText(), "SELECT name FROM city");
    EXPECT_EQ(page->findChild<QLineEdit *>(QStringLiteral("txtDSNName"))->text(), "");

    page->findChild<QLineEdit *>(QStringLiteral("txtDSNName"))->setText(QStringLiteral("/elsewhere.dsn"));
    query->setFocus(Qt::MouseFocusReason);
    query->moveCursor(QTextCursor::End);
    QTest::keyClicks(query, QStringLiteral(" WHERE id > 1"));
    EXPECT_FALSE(page->Changed());
    QTest::keyClick(query, Qt::Key_Return);
    EXPECT_EQ(first.Query(), "SELECT name FROM city WHERE id > 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(first.Query(), "SELECT name FROM city WHERE id > 1");
    EXPECT_EQ(first.DSNName(), "/data/first.dsn");
    EXPECT_EQ(second.Query(), "SELECT other");
}

TEST(ListPages, AListBoxWithoutQueryLeavesTheFieldEmptyAndIsNeverWritten)
{
    VqListBox box;
    vq::PropertyPageDialog dialog(&box);
    QPlainTextEdit *query = openQueryField(dialog);
    EXPECT_EQ(query->toPlainText(), "");
    QTest::keyClicks(query, QStringLiteral("SELECT 1"));
    QTest::keyClick(query, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 5000));
    EXPECT_FALSE(box.dynamicPropertyNames().contains("Query"));
    // A page with nothing selected has nothing to load or apply either.
    VqListGeneral page;
    page.setSelectedControls({});
    page.ApplyChanges();
}

TEST(ListPages, ThePortableListPageLoadsAndAppliesNothing)
{
    VqPortableListBox portable;
    portable.setQuery(QStringLiteral("SELECT name FROM city"));
    portable.setDSNName(QStringLiteral("/data/cities.dsn"));
    vq::PropertyPageDialog dialog(&portable);
    QPlainTextEdit *query = openQueryField(dialog);
    auto *dsnName = dialog.pages().first()->findChild<QLineEdit *>(QStringLiteral("txtDSNName"));
    EXPECT_EQ(query->toPlainText(), "");
    EXPECT_EQ(dsnName->text(), "");
    QTest::keyClicks(query, QStringLiteral("SELECT x"));
    QTest::keyClick(query, Qt::Key_Return);
    QTest::keyClicks(query, QStringLiteral("FROM y"));
    dsnName->setText(QStringLiteral("/elsewhere.dsn"));
    EXPECT_EQ(query->toPlainText(), "SELECT x\nFROM y");
    EXPECT_TRUE(dialog.isVisible());
    dialog.pages().first()->ApplyChanges();
    EXPECT_TRUE(dialog.apply());
    EXPECT_EQ(portable.Query(), "SELECT name FROM city");
    EXPECT_EQ(portable.DSNName(), "/data/cities.dsn");
}
