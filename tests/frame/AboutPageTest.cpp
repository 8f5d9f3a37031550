#include "frame/AboutPage.h"
#include "frame/ClassTable.h"
#include "frame/PropertyPageDialog.h"
#include "platform/Twips.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The version the build was configured with, read from the project file itself.
QString projectVersion()
{
    QFile file(qEnvironmentVariable("VQ_SOURCE_DIR") + "/CMakeLists.txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression re(R"(project\(VqControls\s+VERSION\s+([0-9.]+))");
    return re.match(QString::fromUtf8(file.readAll())).captured(1);
}

} // namespace

TEST(AboutPage, FivePagesDifferOnlyInTheirTitle)
{
    const QList<QPair<QString, QString>> titles = {
        {"VqTxtAbout", "VqActiveXTextBox Flexible Control"},
        {"VqListAbout", "VqActiveXListBox Flexible Control"},
        {"VqComboAbout", "VqActiveXComboBox Flexible Control"},
        {"VqPListAbout", "VqActiveX Portable ListBox Flexible Control"},
        {"VqHiearArchyComboAbout", "VqActiveX Hierarchy Combo Box  Flexible Control"},
    };
    const QString version = projectVersion();
    ASSERT_FALSE(version.isEmpty()) << "the project file was not found";
    for (const auto &[name, title] : titles) {
        SCOPED_TRACE(name.toStdString());
        std::unique_ptr<QObject> object(vq::ClassTable::create(name));
        auto *page = qobject_cast<vq::AboutPage *>(object.get());
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->windowTitle(), "About");
        EXPECT_EQ(page->font().family(), "Arial");
        EXPECT_EQ(page->font().pointSize(), 9);
        EXPECT_EQ(vq::twips::fromPixelsX(page->width()), 5925);
        EXPECT_EQ(vq::twips::fromPixelsY(page->height()), 4155);

        auto *lblTitle = page->findChild<QLabel *>("lblTitle");
        auto *lblVersion = page->findChild<QLabel *>("lblVersion");
        ASSERT_NE(lblTitle, nullptr);
        ASSERT_NE(lblVersion, nullptr);
        EXPECT_EQ(lblTitle->text(), title);
        EXPECT_GE(lblTitle->width(), lblTitle->sizeHint().width()) << "the whole title shows";
        EXPECT_EQ(lblVersion->text(), "Version " + version);
        EXPECT_EQ(vq::twips::geometry(lblVersion).topLeft(), QPoint(1335, 1020));
        const auto *image = page->findChild<QLabel *>("imgVqTextBox");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixmap().size(), QSize(16, 16));
        for (const char *widget : {"Frame1", "Line1_0", "Line1_1", "lblDescription", "lblDisclaimer"})
            EXPECT_NE(page->findChild<QWidget *>(widget), nullptr) << widget;
    }
}

TEST(AboutPage, OpeningItNeverAsksToApplyAndLeavesTheControlAlone)
{
    std::unique_ptr<QObject> box(vq::ClassTable::create("VqTextBox"));
    QSignalSpy changes(box.get(), SIGNAL(propertyChanged(QString)));
    // A host dialog holding the About page alone.
    vq::PropertyPageDialog dialog(QList<QObject *> {box.get()});
    for (vq::PropertyPage *page : dialog.pages())
        page->setChanged(false);
    auto *about = qobject_cast<vq::PropertyPage *>(vq::ClassTable::create("VqTxtAbout"));
    dialog.addPage(about);
    dialog.tabs()->setCurrentWidget(about);
    EXPECT_FALSE(about->Changed());
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    dialog.okButton()->click();
    EXPECT_EQ(changes.size(), 0);
}
