#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "frame/PropertyPageDialog.h"
#include "platform/Error.h"
#include "platform/Twips.h"
#include "support/Forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The General page shown for two text boxes, as a designer would see it. Everything goes through
// property names and widget names, as a host's would.
class GeneralPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first.reset(vq::ClassTable::create("VqTextBox"));
        second.reset(vq::ClassTable::create("VqTextBox"));
        second->setProperty("pCase", QVariant::fromValue(uchar(2)));
        page.reset(qobject_cast<vq::PropertyPage *>(vq::ClassTable::create("VqTextGeneral")));
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(vq::test::showActive(page.get()));
    }

    void load() { page->setSelectedControls({first.get(), second.get()}); }

    QRadioButton *option(const char *name) const { return page->findChild<QRadioButton *>(name); }
    QCheckBox *check(const char *name) const { return page->findChild<QCheckBox *>(name); }
    void click(QAbstractButton *button) const
    {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    std::unique_ptr<QObject> first;
    std::unique_ptr<QObject> second;
    std::unique_ptr<vq::PropertyPage> page;
};

} // namespace

TEST_F(GeneralPage, ShowsItsCaptionsAccessKeysAndLayout)
{
    EXPECT_EQ(page->windowTitle(), "General");
    EXPECT_EQ(vq::twips::fromPixelsX(page->width()), 6060);
    EXPECT_EQ(vq::twips::fromPixelsY(page->height()), 4320);
    const QStringList cases = {"&General", "&Upper Case", "&Lower Case", "&Sentence Case"};
    const int caseTops[] = {420, 865, 1310, 1755};
    for (int i = 0; i < 4; ++i) {
        QRadioButton *b = option(qPrintable(QStringLiteral("optCase_%1").arg(i)));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), cases[i]);
        EXPECT_NEAR(vq::twips::geometry(b).top(), caseTops[i], 15);
        EXPECT_EQ(b->isChecked(), i == 0);
    }
    const QStringList types = {"&General", "&Character Only", "&Number Only"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(option(qPrintable(QStringLiteral("optType_%1").arg(i)))->text(), types[i]);
    EXPECT_TRUE(option("optType_0")->isChecked());
    EXPECT_EQ(page->findChild<QGroupBox *>("fraChangeCase")->title(), "Change Case");
    EXPECT_EQ(page->findChild<QGroupBox *>("fraDataType")->title(), "Data Type");
    EXPECT_NEAR(vq::twips::geometry(page->findChild<QGroupBox *>("fraDataType")).left(), 2670, 15);
    EXPECT_EQ(check("chkDeciAllowed")->text(), "Decimal Allowed");
    EXPECT_EQ(check("chkThousandAllowed")->text(), "Thousand Seperator");
    EXPECT_EQ(check("chkEmptyCheck")->text(), "&Empty Check");
    EXPECT_FALSE(check("chkDeciAllowed")->isEnabled());
    EXPECT_FALSE(check("chkThousandAllowed")->isEnabled());
    EXPECT_TRUE(page->findChild<QLabel *>("Label1")->text().startsWith("Note. Thousand Seperator affects"));

    // The raw-value widgets lie beyond the right edge, out of sight and out of the tab order.
    for (const char *name : {"chkThousandSeperator", "chkpDecimal", "txtpDataType", "txtpCase"}) {
        auto *w = page->findChild<QWidget *>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_GE(w->x(), page->width()) << name;
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << name;
    }

    // Alt+N is "&Number Only", Alt+E the empty check.
    option("optCase_0")->setFocus();
    // An access key presses its button with a short animation, as a click would look.
    QTest::keyClick(page->windowHandle(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return option("optType_2")->isChecked(); }));
    EXPECT_TRUE(check("chkDeciAllowed")->isEnabled());
    EXPECT_TRUE(page->Changed());
    QTest::keyClick(page->windowHandle(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return check("chkEmptyCheck")->isChecked(); }));
}

TEST_F(GeneralPage, LoadsTheFirstControlAndCountsAsChanged)
{
    first->setProperty("pDataType", QVariant::fromValue(uchar(2)));
    first->setProperty("pCase", QVariant::fromValue(uchar(1)));
    first->setProperty("pDecimal", short(-1));
    first->setProperty("ThousandSeperator", short(0));
    first->setProperty("EmptyCheck", short(1));
    QSignalSpy firstChanges(first.get(), SIGNAL(propertyChanged(QString)));
    load();

    EXPECT_TRUE(option("optType_2")->isChecked());
    EXPECT_TRUE(check("chkDeciAllowed")->isEnabled());
    EXPECT_TRUE(check("chkDeciAllowed")->isChecked());
    EXPECT_TRUE(check("chkThousandAllowed")->isEnabled());
    EXPECT_FALSE(check("chkThousandAllowed")->isChecked());
    // The data-type rule reset the case to General; the control's own case then came back.
    EXPECT_TRUE(option("optCase_1")->isChecked());
    EXPECT_TRUE(check("chkEmptyCheck")->isChecked());
    EXPECT_EQ(page->findChild<QLineEdit *>("txtpCase")->text(), "1");
    EXPECT_TRUE(page->Changed());
    EXPECT_EQ(firstChanges.size(), 0) << "loading writes nothing";
}

TEST_F(GeneralPage, ApplyWritesEachPropertyThroughItsSetterInOrderToTheFirstControlOnly)
{
    first->setProperty("pDataType", QVariant::fromValue(uchar(2)));
    first->setProperty("ThousandSeperator", short(0));
    load();
    QSignalSpy firstChanges(first.get(), SIGNAL(propertyChanged(QString)));
    QSignalSpy secondChanges(second.get(), SIGNAL(propertyChanged(QString)));

    // "Character Only" greys the number flags but keeps their values, and they are still written.
    click(option("optType_1"));
    EXPECT_FALSE(check("chkDeciAllowed")->isEnabled());
    EXPECT_FALSE(check("chkThousandAllowed")->isEnabled());
    click(option("optCase_3"));
    click(check("chkEmptyCheck"));
    page->ApplyChanges();

    QStringList names;
    for (const QList<QVariant> &call : firstChanges)
        names.append(call.at(0).toString());
    EXPECT_EQ(names, (QStringList {"ThousandSeperator", "pDecimal", "pDataType", "pCase", "EmptyCheck"}));
    EXPECT_EQ(first->property("ThousandSeperator"), QVariant(false));
    EXPECT_EQ(first->property("pDecimal"), QVariant(true));
    EXPECT_EQ(first->property("pDataType").toInt(), 1);
    EXPECT_EQ(first->property("pCase").toInt(), 3);
    EXPECT_EQ(first->property("EmptyCheck").toInt(), 1);
    EXPECT_EQ(secondChanges.size(), 0);
    EXPECT_EQ(second->property("pCase").toInt(), 2);
}

TEST_F(GeneralPage, NumberOnlyEnablesTheFlagsResetsTheCaseAndSilencesCaseClicks)
{
    first->setProperty("pCase", QVariant::fromValue(uchar(1)));
    load();
    page->setChanged(false);

    click(option("optType_2"));
    EXPECT_TRUE(option("optCase_0")->isChecked());
    EXPECT_TRUE(check("chkDeciAllowed")->isEnabled());
    EXPECT_TRUE(check("chkThousandAllowed")->isEnabled());
    EXPECT_TRUE(page->Changed());

    page->setChanged(false);
    click(option("optCase_2"));
    EXPECT_TRUE(option("optCase_2")->isChecked());
    EXPECT_FALSE(page->Changed()) << "a case click on a number field is no change by itself";

    click(check("chkThousandAllowed"));
    EXPECT_TRUE(page->Changed());

    click(option("optType_0"));
    page->setChanged(false);
    click(option("optCase_1"));
    EXPECT_TRUE(page->Changed());

    // Choosing Number Only again puts the case back to General, and that is what is applied.
    click(option("optType_2"));
    page->ApplyChanges();
    EXPECT_EQ(first->property("pCase").toInt(), 0);
    EXPECT_EQ(first->property("pDataType").toInt(), 2);
}

TEST_F(GeneralPage, ALoadStopsAtAValueWithoutAnOptionAndLeavesThePageChangedAndEnabled)
{
    for (const char *property : {"pDataType", "pCase"}) {
        SCOPED_TRACE(property);
        std::unique_ptr<QObject> odd(vq::ClassTable::create("VqTextBox"));
        odd->setProperty(property, QVariant::fromValue(uchar(7)));
        page->setChanged(false);
        try {
            page->setSelectedControls({odd.get()});
            ADD_FAILURE() << "loading should fail";
        } catch (const vq::Error &e) {
            EXPECT_EQ(e.number(), 340);
            EXPECT_TRUE(e.description().contains(property)) << e.description().toStdString();
        }
        EXPECT_TRUE(page->Changed()) << "the steps before the failing one marked the page changed";

        // In the host's dialog the error is reported and the page stays usable: Apply is on.
        QList<int> reported;
        const vq::ErrorHandler previous =
            vq::setErrorHandler([&](const vq::Error &e) { reported.append(e.number()); });
        vq::PropertyPageDialog dialog(odd.get());
        vq::setErrorHandler(previous);
        EXPECT_EQ(reported, QList<int> {340});
        EXPECT_TRUE(dialog.pages().first()->isEnabled());
        EXPECT_TRUE(dialog.applyButton()->isEnabled());
    }
}

TEST(ClassLibraryPage, FourEmptyFieldsThatNeverAskToBeApplied)
{
    std::unique_ptr<QObject> box(vq::ClassTable::create("VqTextBox"));
    QSignalSpy changes(box.get(), SIGNAL(propertyChanged(QString)));
    vq::PropertyPageDialog dialog(box.get());
    for (vq::PropertyPage *p : dialog.pages())
        p->setChanged(false);
    vq::PropertyPage *page = dialog.pages().at(1);
    EXPECT_EQ(page->objectName(), "VqTextActiveXDLL");
    EXPECT_EQ(vq::twips::fromPixelsX(page->width()), 6045);
    dialog.tabs()->setCurrentWidget(page);
    ASSERT_TRUE(vq::test::showActive(&dialog));

    const QList<QPair<QString, QString>> fields = {{"txtDLLName", "ActiveX DLL Name.ClassName"},
        {"txtDLLMethod1", "DLLMethod1:"}, {"txtDLLMethod2", "DLLMethod2:"}, {"txtDLLMethod3", "DLLMethod3:"}};
    for (const auto &[name, label] : fields) {
        auto *field = page->findChild<QLineEdit *>(name);
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->text().isEmpty());
        bool labelled = false;
        for (const QLabel *l : page->findChildren<QLabel *>())
            labelled = labelled || (l->text() == label && l->buddy() == field);
        EXPECT_TRUE(labelled) << label.toStdString();
        field->setFocus();
        QTest::keyClicks(field, "Lib.Class");
    }
    EXPECT_FALSE(page->Changed());
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(changes.size(), 0);
}
