// Forms of real controls: every control class survives a save and a load, and a file that cannot be
// loaded is refused at its place with nothing left behind.
#include "ControlTraits.h"

#include "forms/FormFile.h"
#include "forms/FormFileError.h"
#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/ObjectCount.h"
#include "platform/Twips.h"
#include "support/ControlNames.h"
#include "support/Errors.h"
#include "support/SavedProperties.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using vq::FormFile;

namespace {

// The class's sample values that a control keeps as they are when it reads them alone (a list's item keys
// need items, which no form holds).
vq::MemoryPropertyBag keptSamples(const QString &className, QStringList &sampled)
{
    const auto &traits = vq::test::traitsOf(className);
    vq::MemoryPropertyBag bag;
    std::unique_ptr<vq::Control> probe(vq::CreateControl(className));
    for (const vq::PropertyTable::Entry &e : probe->propertyTable().entries()) {
        const auto value = vq::test::sampleValue(traits, e);
        if (!value || !e.read || !e.written)
            continue;
        vq::MemoryPropertyBag one;
        one.WriteProperty(e.key, *value);
        std::unique_ptr<vq::Control> scratch(vq::CreateControl(className));
        if (vq::test::errorNumber([&] { scratch->ReadProperties(one); }) != 0)
            continue;
        vq::MemoryPropertyBag written;
        scratch->WriteProperties(written);
        if (written.value(e.key) == *value) {
            bag.WriteProperty(e.key, *value);
            sampled.append(e.key);
        }
    }
    return bag;
}

class FormRoundTrip : public ::testing::TestWithParam<QString>
{ };

} // namespace

TEST_P(FormRoundTrip, ASavedFormLoadsAsTheSameForm)
{
    const QString name = GetParam();
    QWidget form;
    QStringList sampled;
    vq::MemoryPropertyBag samples = keptSamples(name, sampled);
    vq::Control *original = vq::CreateControl(name, &form);
    original->setObjectName(QStringLiteral("the original"));
    ASSERT_NO_THROW(original->ReadProperties(samples));
    vq::twips::setGeometry(original, 150, 300, 2400, 450);
    const QByteArray text = FormFile::toText({original});
    for (const QString &key : sampled)
        EXPECT_TRUE(text.contains("    " + key.toUtf8() + " = ")) << key.toStdString() << "\n"
                                                                  << text.toStdString();

    QWidget loadedForm;
    const QList<vq::Control *> loaded = FormFile::fromText(text, &loadedForm);
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded[0]->parent(), &loadedForm);
    EXPECT_STREQ(loaded[0]->metaObject()->className(), name.toLatin1().constData());
    EXPECT_EQ(loaded[0]->objectName(), original->objectName());
    EXPECT_EQ(vq::twips::geometry(loaded[0]), vq::twips::geometry(original));
    EXPECT_EQ(vq::test::savedProperties(*loaded[0]), vq::test::savedProperties(*original));
    EXPECT_EQ(FormFile::toText(loaded), text);
}

INSTANTIATE_TEST_SUITE_P(EveryControl, FormRoundTrip, ::testing::ValuesIn(vq::test::availableControlNames()),
    [](const ::testing::TestParamInfo<QString> &info) { return info.param.toStdString(); });

TEST(FormFile, AHandWrittenFormLoadsIntoItsControlsInFileOrder)
{
    const QByteArray text = R"(VqForm 1
# the order form's first fields
VqTextBox txtCustomer at 1200, 360 size 2400, 315 {
    MaxLength = 10
    ToolTipText = "Customer number\n(F1 lists them) \"quoted\" \u00e9"
    ForeColor = rgb(255, 0, 0)
}
VqDTPicker "order date"  at 1200,840 size 1500,315 {
    MinDate = 2001-01-01T00:00:00Z
    Value = 2001-04-18
}
VqPortableListBox lstCity at 0, 0 size 3195, 2100 { Font = font("Courier New", 11, bold, italic) }
)";
    QWidget form;
    const QList<vq::Control *> controls = FormFile::fromText(text, &form);
    ASSERT_EQ(controls.size(), 3);
    EXPECT_EQ(FormFile::controlsOf(&form), controls);
    EXPECT_EQ(controls[0]->objectName(), QStringLiteral("txtCustomer"));
    EXPECT_EQ(controls[0]->property("MaxLength").toInt(), 10);
    EXPECT_EQ(controls[0]->property("ToolTipText").toString(),
        QStringLiteral("Customer number\n(F1 lists them) \"quoted\" \u00e9"));
    EXPECT_EQ(controls[0]->property("ForeColor").toUInt(), 0x0000ffu);
    EXPECT_EQ(vq::twips::geometry(controls[0]), QRect(1200, 360, 2400, 315));
    EXPECT_EQ(controls[1]->objectName(), QStringLiteral("order date"));
    EXPECT_EQ(controls[1]->property("Value").toDateTime().date(), QDate(2001, 4, 18));
    EXPECT_EQ(controls[1]->property("MinDate").toDateTime().date(), QDate(2001, 1, 1));
    QFont expected(QStringLiteral("Courier New"), 11, QFont::Bold, true);
    EXPECT_EQ(controls[2]->property("Font").value<QFont>(), expected);
    form.show();
    for (vq::Control *c : controls)
        EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
}

namespace {

struct BadForm
{
    const char *what;
    QByteArray text; // appended to two good controls, unless it begins with "!"
    int number;
    int line;
    int column;
    const char *message;
};

const QByteArray goodStart = "VqForm 1\n"
                             "VqTextBox txtOne at 0, 0 size 1200, 300 { MaxLength = 5 }\n"
                             "VqDTPicker dtpTwo at 0, 400 size 1200, 300 { }\n";

QByteArray manyControls(int count)
{
    QByteArray text = "VqForm 1\n";
    for (int i = 0; i < count; ++i)
        text += "VqOKButton b" + QByteArray::number(i) + " at 0, 0 size 1, 1 {}\n";
    return text;
}

} // namespace

// Lines 1 to 3 hold the header and two good controls, so each refusal below line 3 also shows that the
// controls already made were taken away again.
TEST(FormFile, ABadFormIsRefusedAtItsPlaceAndLeavesNoControlBehind)
{
    const std::vector<BadForm> cases = {
        {"empty file", "!", 321, 1, 1, "the file is empty"},
        {"not a form", "!Begin VB.Form", 321, 1, 1, "not a form file"},
        {"newer version", "!VqForm 2", 321, 1, 8, "form version 2"},
        {"binary", QByteArray("VqTextBox \0\x01\x02", 13), 321, 4, 11, "control character 0x00"},
        {"not UTF-8", "VqTextBox x\xff", 321, 4, 12, "0xff is not UTF-8"},
        {"too large", "!" + QByteArray(16 * 1024 * 1024 + 1, ' '), 321, 1, 1, "at most 16777216"},
        {"too many controls", "!" + manyControls(10001), 321, 10002, 1, "at most 10000 controls"},
        {"unknown class", "VqTextBx txt at 0, 0 size 1, 1 {}", 321, 4, 1, "unknown class \"VqTextBx\""},
        {"a page is no control", "VqTxtAbout p at 0, 0 size 1, 1 {}", 321, 4, 1, "a property page"},
        {"duplicate name", "VqOKButton txtOne at 0, 0 size 1, 1 {}", 321, 4, 12,
            "already taken by the control on line 2"},
        {"duplicate key", "VqTextBox t at 0,0 size 1,1 {\n Text = \"a\"\n Text = \"b\" }", 321, 6, 2,
            "already given on line 5"},
        {"duplicate name holding a placeholder",
            "VqOKButton \"b%2\" at 0, 0 size 1, 1 {}\nVqOKButton \"b%2\" at 0, 0 size 1, 1 {}", 321, 5, 12,
            "the name \"b%2\" is already taken by the control on line 4"},
        {"unknown key", "VqTextBox t at 0,0 size 1,1 {\n MaxLenght = 5 }", 321, 5, 2,
            "saves no property called \"MaxLenght\""},
        {"wrong value type", "VqTextBox t at 0,0 size 1,1 {\n MaxLength = \"ten\" }", 13, 5, 14,
            "\"MaxLength\""},
        {"value out of range", "VqTextBox t at 0,0 size 1,1 { pCase = 300 }", 13, 4, 39, "a byte"},
        {"no such date", "VqDTPicker d at 0,0 size 1,1 { Value = 2026-02-30 }", 321, 4, 40,
            "no date 2026-02-30"},
        {"negative width", "VqTextBox t at 0, 0 size -5, 1 {}", 321, 4, 26,
            "width in twips must lie between 0"},
        {"missing equals", "VqTextBox t at 0,0 size 1,1 { Text \"a\" }", 321, 4, 36, "expected \"=\""},
        {"unknown escape", "VqTextBox t at 0,0 size 1,1 { Text = \"a\\qb\" }", 321, 4, 40,
            "unknown escape \"\\q\""},
        {"unclosed string", "VqTextBox t at 0,0 size 1,1 {\n Text = \"abc\n}", 321, 5, 9, "not closed"},
        {"number out of range", "VqTextBox t at 0,0 size 1,1 { MaxLength = 99999999999999999999 }", 321, 4,
            43, "out of range"},
        {"cut short", "VqTextBox t at 0,0 size 1,1 {\n Text = \"a\"\n", 321, 6, 1,
            "its closing \"}\" is missing"},
        {"cut inside the geometry", "VqTextBox t at 0,", 321, 4, 18, "the top edge in twips"},
    };
    for (const BadForm &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray text = c.text.startsWith('!') ? c.text.mid(1) : goodStart + c.text;
        QWidget form;
        const int live = vq::objects::library().live();
        try {
            FormFile::fromText(text, &form);
            ADD_FAILURE() << "loaded";
        } catch (const vq::FormFileError &e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.line(), c.line);
            EXPECT_EQ(e.column(), c.column);
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << e.message().toStdString();
            EXPECT_TRUE(
                e.description().startsWith(QStringLiteral("line %1, column %2: ").arg(c.line).arg(c.column)));
        }
        EXPECT_TRUE(form.children().isEmpty());
        EXPECT_EQ(vq::objects::library().live(), live);
    }
}

TEST(FormFile, FilesAreSavedWholeAndReadWithTheirPathInEveryError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("order.vqf"));
    QWidget form;
    auto *a = vq::CreateControl(QStringLiteral("VqTextBox"), &form);
    a->setObjectName(QStringLiteral("txtA"));
    a->setProperty("Text", QStringLiteral("first"));
    auto *b = vq::CreateControl(QStringLiteral("VqSaveButton"), &form);
    b->setObjectName(QStringLiteral("cmdSave"));
    FormFile::save(path, FormFile::controlsOf(&form));

    QWidget copy;
    const QList<vq::Control *> loaded = FormFile::load(path, &copy);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[0]->property("Text").toString(), QStringLiteral("first"));
    EXPECT_EQ(loaded[1]->objectName(), QStringLiteral("cmdSave"));

    // A save that is refused leaves the file as it was.
    b->setObjectName(QStringLiteral("txtA"));
    EXPECT_EQ(vq::test::errorNumber([&] { FormFile::save(path, {a, b}); }), 35602);
    b->setObjectName(QString());
    EXPECT_EQ(vq::test::errorNumber([&] { FormFile::save(path, {a, b}); }), 380);
    EXPECT_EQ(FormFile::load(path, &copy).size(), 2);

    EXPECT_EQ(
        vq::test::errorNumber([&] { FormFile::load(dir.filePath(QStringLiteral("none.vqf")), &copy); }), 53);
    EXPECT_EQ(vq::test::errorNumber([&] { FormFile::load(dir.path(), &copy); }), 75);
    EXPECT_EQ(vq::test::errorNumber(
                  [&] { FormFile::save(dir.filePath(QStringLiteral("no/such/folder.vqf")), {a}); }),
        75);

    QFile bad(path);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("VqForm 1\nVqNothing x at 0, 0 size 1, 1 {}\n");
    bad.close();
    EXPECT_TRUE(vq::test::errorText([&] {
        FormFile::load(path, &copy);
    }).startsWith(path + QStringLiteral(": line 2, column 1: unknown class")));
}

TEST(FormFile, DesignModeReachesTheControlsBeforeTheyReadTheirProperties)
{
    vq::AmbientProperties design;
    design.UserMode = false;
    design.Font = QFont(QStringLiteral("Courier New"), 13);
    // The portable list's font defaults to the form's: saved at design time under that form's font, it
    // writes no Font, and loads with the font of the form it is loaded into.
    QWidget form;
    const auto first =
        FormFile::fromText("VqForm 1\nVqPortableListBox l at 0,0 size 3000,2000 {}", &form, design);
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0]->ambientProperties().UserMode, false);
    EXPECT_EQ(first[0]->property("Font").value<QFont>(), design.Font);
    EXPECT_FALSE(FormFile::toText(first).contains("Font"));
}
