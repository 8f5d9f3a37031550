#include "OrderForm.h"

#include "forms/FormFileError.h"
#include "platform/Twips.h"
#include "textbox/VqTextBox.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/Errors.h"

namespace {

QByteArray builtInForm()
{
    QFile f(OrderForm::builtInFormFile());
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST(OrderForm, AnEditedFormFileLaysTheFormOutAndOneWithoutAControlTheFormNeedsIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("order.vqf"));
    auto write = [&](const QByteArray &text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const QByteArray form = builtInForm();

    // The amount moved below the buttons: the form follows the file and grows to hold it.
    QByteArray moved = form;
    moved.replace("VqTextBox txtAmount at 6360, 2160", "VqTextBox txtAmount at 240, 4560");
    ASSERT_NE(moved, form);
    write(moved);
    {
        OrderForm order(path);
        EXPECT_EQ(vq::twips::geometry(order.amount()).topLeft(), QPoint(240, 4560));
        EXPECT_GE(order.minimumHeight(), order.amount()->geometry().bottom());
        EXPECT_EQ(order.amount()->pDataType(), VqTextBox::NumberOnly);
    }

    struct Case
    {
        const char *change;
        std::function<QByteArray(QByteArray)> edit;
        int number;
        const char *says;
    };
    const QRegularExpression saveButton(QStringLiteral("VqSaveButton cmdSave [^}]*\\}"));
    const Case cases[] = {
        {"no save button", [&](QByteArray t) { return QString::fromUtf8(t).remove(saveButton).toUtf8(); },
            321, "cmdSave"},
        {"the save button of another class",
            [](QByteArray t) { return t.replace("VqSaveButton cmdSave", "VqOKButton cmdSave"); }, 321,
            "VqSaveButton named cmdSave"},
        {"cut short", [](QByteArray t) { return t.left(t.indexOf("VqHierarchyCombo") + 30); }, 321, "line"},
        {"a date bound that is no date",
            [](QByteArray t) { return t.replace("MinDate = 2024-01-01T00:00:00Z", "MinDate = \"someday\""); },
            13, "MinDate"},
    };
    for (const Case &c : cases) {
        write(c.edit(form));
        EXPECT_EQ(vq::test::errorNumber([&] { OrderForm order(path); }), c.number) << c.change;
        EXPECT_TRUE(vq::test::errorText([&] { OrderForm order(path); }).contains(QLatin1String(c.says)))
            << c.change << ": " << vq::test::errorText([&] { OrderForm order(path); }).toStdString();
    }
    EXPECT_EQ(vq::test::errorNumber([&] { OrderForm order(dir.filePath(QStringLiteral("none.vqf"))); }), 53);
}
