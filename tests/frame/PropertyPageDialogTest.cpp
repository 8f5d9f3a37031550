#include "frame/PropertyPageDialog.h"
#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "platform/Error.h"
#include "support/Forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A control as a page sees it: nothing but named properties.
class NamedThing : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    QString Caption() const { return caption; }
    void setCaption(const QString &c)
    {
        caption = c;
        ++writes;
    }

    QString caption = "start";
    int writes = 0;
};

// A page that edits Caption in a field and marks itself changed when the user types.
class CaptionPage : public vq::PropertyPage
{
public:
    CaptionPage()
    {
        setWindowTitle("Caption");
        field = new QLineEdit(this);
        field->setObjectName("txtCaption");
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(field);
        connect(field, &QLineEdit::textEdited, this, [this] { setChanged(true); });
    }
    void SelectionChanged() override { field->setText(readProperty("Caption").toString()); }
    void ApplyChanges() override
    {
        ++applied;
        writeProperty("Caption", field->text());
    }

    QLineEdit *field;
    int applied = 0;
};

class PageHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = std::make_unique<NamedThing>();
        second = std::make_unique<NamedThing>();
        dialog = std::make_unique<vq::PropertyPageDialog>(QList<QObject *> {first.get(), second.get()});
        page = new CaptionPage;
        dialog->addPage(page);
        ASSERT_TRUE(vq::test::showActive(dialog.get()));
    }

    void typeIntoPage(const QString &text)
    {
        page->field->setFocus();
        page->field->selectAll();
        QTest::keyClicks(page->field, text);
    }

    std::unique_ptr<NamedThing> first;
    std::unique_ptr<NamedThing> second;
    std::unique_ptr<vq::PropertyPageDialog> dialog;
    CaptionPage *page = nullptr;
};

} // namespace

TEST_F(PageHost, ApplyIsEnabledOnlyWhileAPageIsChangedAndWritesTheFirstControlOnly)
{
    EXPECT_EQ(page->field->text(), "start");
    EXPECT_FALSE(dialog->applyButton()->isEnabled());

    typeIntoPage("renamed");
    EXPECT_TRUE(page->Changed());
    EXPECT_TRUE(dialog->applyButton()->isEnabled());

    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    EXPECT_EQ(first->caption, "renamed");
    EXPECT_EQ(second->writes, 0);
    EXPECT_FALSE(page->Changed());
    EXPECT_FALSE(dialog->applyButton()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PageHost, OkAppliesOnlyAChangedPageAndClosesCancelAndEscapeCloseWithoutApplying)
{
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(page->applied, 0) << "an unchanged page is not applied";
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());

    const std::function<void()> closings[] = {
        [&] { QTest::mouseClick(dialog->okButton(), Qt::LeftButton); },
        [&] { QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton); },
        [&] { QTest::keyClick(page->field, Qt::Key_Escape); },
    };
    const char *typed[] = {"again", "lost", "lost too"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(vq::test::showActive(dialog.get()));
        typeIntoPage(typed[i]);
        closings[i]();
        EXPECT_FALSE(dialog->isVisible()) << i;
        EXPECT_EQ(dialog->result(), i == 0 ? QDialog::Accepted : QDialog::Rejected) << i;
        EXPECT_EQ(page->applied, 1) << i;
        EXPECT_EQ(first->caption, "again") << i;
    }
}

TEST_F(PageHost, ARefusedApplyKeepsTheDialogOpenAndReportsTheError)
{
    // A page that writes a property its control lacks.
    struct BadPage : vq::PropertyPage
    {
        void ApplyChanges() override { writeProperty("NoSuchProperty", 1); }
    };
    auto *bad = new BadPage;
    dialog->addPage(bad);
    bad->setChanged(true);
    QList<int> reported;
    const vq::ErrorHandler previous =
        vq::setErrorHandler([&](const vq::Error &e) { reported.append(e.number()); });
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    vq::setErrorHandler(previous);
    EXPECT_EQ(reported, QList<int> {438});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->tabs()->currentWidget(), bad);
    EXPECT_TRUE(bad->Changed());
    EXPECT_TRUE(first->dynamicPropertyNames().isEmpty()) << "no property may be invented on the control";
}

TEST(PageList, AControlsListedPagesOpenInOrderAndMissingOnesAreSkipped)
{
    std::unique_ptr<QObject> box(vq::ClassTable::create("VqTextBox"));
    vq::PropertyPageDialog dialog(box.get());
    ASSERT_EQ(dialog.tabs()->count(), 3);
    EXPECT_EQ(dialog.tabs()->tabText(0), "General");
    EXPECT_EQ(dialog.tabs()->tabText(1), "VqTextActiveXDLL");
    EXPECT_EQ(dialog.tabs()->tabText(2), "About");
    EXPECT_EQ(dialog.pages().at(0)->objectName(), "VqTextGeneral");

    const vq::ClassTable::ClassInfo *helpList = vq::ClassTable::find(QStringLiteral("VqHelpList"));
    ASSERT_NE(helpList, nullptr);
    EXPECT_EQ(helpList->pages, QStringList {"HelpListGeneral"});
    EXPECT_TRUE(vq::PropertyPageDialog::createPages(helpList->pages).isEmpty());

    const QList<vq::PropertyPage *> pages =
        vq::PropertyPageDialog::createPages({"VqTxtAbout", "HelpListGeneral", "VqComboAbout"});
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages.at(0)->objectName(), "VqTxtAbout");
    EXPECT_EQ(pages.at(1)->objectName(), "VqComboAbout");
    qDeleteAll(pages);
}

#include "PropertyPageDialogTest.moc"
