#include "OrderForm.h"

#include "buttons/CommandButton.h"
#include "combos/VqComboBox.h"
#include "combos/VqHierarchyCombo.h"
#include "dates/VqDTPicker.h"
#include "forms/FormFile.h"
#include "helplist/VqHelpList.h"
#include "lists/VqPortableListBox.h"
#include "platform/Error.h"
#include "platform/Twips.h"
#include "textbox/VqTextBox.h"

#include <QLabel>

namespace {

// Captions stand this far left of their control's left edge, in twips.
constexpr int CaptionWidth = 1500;

struct Caption
{
    const char *name;
    const char *caption;
    const char *hint;
};

const Caption Captions[] = {
    {"txtOrderNo", "Order no.", "The order's number, given by the database when a new order is saved."},
    {"txtCustomer", "&Customer",
        "The customer's code, letters only. F1 (or a double-click) looks a customer up."},
    {"txtCustomerName", "Name", "Filled in from the customer picked."},
    {"plbCity", "C&ity",
        "Where the order is delivered: the cities of the customer file, read through orders.dsn "
        "(ODBC). ENTER picks one."},
    {"dtpOrderDate", "&Date",
        "Digits only, the dashes come by themselves; F4 opens the calendar. Dates from 2024 to 2027 are "
        "taken."},
    {"hcbCategory", "Ca&tegory",
        "The tree drops down on entry; a picked category narrows the product lookup."},
    {"txtProduct", "&Product", "The product's code. F1 (or a double-click) looks a product up."},
    {"txtProductName", "Description", "Filled in from the product picked."},
    {"txtQuantity", "&Quantity", "Whole units; the amount follows the quantity."},
    {"txtAmount", "&Amount", "The order's amount, shown with separators and two decimals when left."},
    {"cboTerms", "T&erms",
        "Pick or type payment terms of the list; another entry is refused with \"Invalid Select\"."},
};

} // namespace

QString OrderForm::builtInFormFile()
{
    // The resource lives in a static library, where nothing else would pull it in.
    Q_INIT_RESOURCE(demo);
    return QStringLiteral(":/vqdemo/order.vqf");
}

OrderForm::OrderForm(const QString &formFile, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmOrder"));
    const QList<vq::Control *> controls = vq::FormFile::load(formFile, this);
    checkControls();
    addCaptions();
    // Room for every control, the lists' and the tree's folded sizes included.
    QRect area;
    for (const vq::Control *c : controls)
        area |= c->geometry();
    setMinimumSize(
        area.right() + vq::twips::toPixelsX(240, this), area.bottom() + vq::twips::toPixelsY(240, this));
    resize(minimumSize());
}

OrderForm::~OrderForm() = default;

void OrderForm::checkControls() const
{
    const std::pair<const char *, const char *> needed[] = {{"txtOrderNo", "VqTextBox"},
        {"txtCustomer", "VqTextBox"}, {"txtCustomerName", "VqTextBox"}, {"plbCity", "VqPortableListBox"},
        {"dtpOrderDate", "VqDTPicker"}, {"hcbCategory", "VqHierarchyCombo"}, {"txtProduct", "VqTextBox"},
        {"txtProductName", "VqTextBox"}, {"txtQuantity", "VqTextBox"}, {"txtAmount", "VqTextBox"},
        {"cboTerms", "VqComboBox"}, {"hlpCustomer", "VqHelpList"}, {"hlpProduct", "VqHelpList"},
        {"cmdFirst", "VqFirstButton"}, {"cmdPrevious", "VqPreviousButton"}, {"cmdNext", "VqNextButton"},
        {"cmdLast", "VqLastButton"}, {"cmdNew", "VqNewButton"}, {"cmdSave", "VqSaveButton"},
        {"cmdCancel", "VqCancelButton"}, {"cmdExit", "VqExitButton"}};
    for (const auto &[name, className] : needed) {
        const vq::Control *c = control(QString::fromLatin1(name));
        if (!c || qstrcmp(c->metaObject()->className(), className) != 0)
            throw vq::Error(vq::Error::InvalidFileFormat,
                tr("The order form needs a %1 named %2, which the form file does not hold.")
                    .arg(QLatin1String(className), QLatin1String(name)));
    }
}

void OrderForm::addCaptions()
{
    for (const Caption &c : Captions) {
        vq::Control *buddy = control(QString::fromLatin1(c.name));
        if (!buddy)
            continue;
        auto *label = new QLabel(tr(c.caption), this);
        label->setBuddy(buddy);
        const QRect g = vq::twips::geometry(buddy);
        vq::twips::setGeometry(label, g.left() - CaptionWidth, g.top(), CaptionWidth - 120, 330);
    }
}

QString OrderForm::hint(const QString &name)
{
    for (const Caption &c : Captions) {
        if (name == QLatin1String(c.name))
            return tr(c.hint);
    }
    return QString();
}

vq::Control *OrderForm::control(const QString &name) const
{
    return findChild<vq::Control *>(name, Qt::FindDirectChildrenOnly);
}

VqTextBox *OrderForm::orderNo() const
{
    return control<VqTextBox>(QStringLiteral("txtOrderNo"));
}

VqDTPicker *OrderForm::orderDate() const
{
    return control<VqDTPicker>(QStringLiteral("dtpOrderDate"));
}

VqTextBox *OrderForm::customer() const
{
    return control<VqTextBox>(QStringLiteral("txtCustomer"));
}

VqTextBox *OrderForm::customerName() const
{
    return control<VqTextBox>(QStringLiteral("txtCustomerName"));
}

VqPortableListBox *OrderForm::city() const
{
    return control<VqPortableListBox>(QStringLiteral("plbCity"));
}

VqHierarchyCombo *OrderForm::category() const
{
    return control<VqHierarchyCombo>(QStringLiteral("hcbCategory"));
}

VqTextBox *OrderForm::product() const
{
    return control<VqTextBox>(QStringLiteral("txtProduct"));
}

VqTextBox *OrderForm::productName() const
{
    return control<VqTextBox>(QStringLiteral("txtProductName"));
}

VqTextBox *OrderForm::quantity() const
{
    return control<VqTextBox>(QStringLiteral("txtQuantity"));
}

VqTextBox *OrderForm::amount() const
{
    return control<VqTextBox>(QStringLiteral("txtAmount"));
}

VqComboBox *OrderForm::terms() const
{
    return control<VqComboBox>(QStringLiteral("cboTerms"));
}

VqHelpList *OrderForm::customerLookup() const
{
    return control<VqHelpList>(QStringLiteral("hlpCustomer"));
}

VqHelpList *OrderForm::productLookup() const
{
    return control<VqHelpList>(QStringLiteral("hlpProduct"));
}
