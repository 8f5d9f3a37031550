#include "OrderForm.h"

#include "buttons/CommandButton.h"
#include "combos/VqComboBox.h"
#include "combos/VqHierarchyCombo.h"
#include "dates/VqDTPicker.h"
#include "frame/ControlFactory.h"
#include "helplist/VqHelpList.h"
#include "lists/VqPortableListBox.h"
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

OrderForm::OrderForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmOrder"));
    build();
    addCaptions();
}

OrderForm::~OrderForm() = default;

void OrderForm::build()
{
    struct Place
    {
        const char *className;
        const char *name;
        int left, top, width, height; // twips
    };
    // In tab order: the focus moves through the controls in the order they are made.
    const Place places[] = {
        {"VqTextBox", "txtOrderNo", 1800, 240, 2640, 330},
        {"VqTextBox", "txtCustomer", 1800, 720, 2640, 330},
        {"VqTextBox", "txtCustomerName", 1800, 1200, 2640, 330},
        {"VqPortableListBox", "plbCity", 1800, 1680, 2640, 420},
        {"VqDTPicker", "dtpOrderDate", 1800, 2160, 2640, 330},
        {"VqHierarchyCombo", "hcbCategory", 6360, 240, 3300, 405},
        {"VqTextBox", "txtProduct", 6360, 720, 3300, 330},
        {"VqTextBox", "txtProductName", 6360, 1200, 3300, 330},
        {"VqTextBox", "txtQuantity", 6360, 1680, 3300, 330},
        {"VqTextBox", "txtAmount", 6360, 2160, 3300, 330},
        {"VqComboBox", "cboTerms", 6360, 2640, 3300, 315},
        {"VqFirstButton", "cmdFirst", 240, 3360, 1125, 495},
        {"VqPreviousButton", "cmdPrevious", 1440, 3360, 1125, 495},
        {"VqNextButton", "cmdNext", 2640, 3360, 1125, 495},
        {"VqLastButton", "cmdLast", 3840, 3360, 1125, 495},
        {"VqNewButton", "cmdNew", 5040, 3360, 1125, 495},
        {"VqSaveButton", "cmdSave", 6240, 3360, 1125, 495},
        {"VqCancelButton", "cmdCancel", 7440, 3360, 1125, 495},
        {"VqExitButton", "cmdExit", 8640, 3360, 1125, 495},
        {"VqHelpList", "hlpCustomer", 4560, 720, 240, 270},
        {"VqHelpList", "hlpProduct", 9120, 720, 240, 270},
    };
    for (const Place &p : places) {
        vq::Control *c = vq::CreateControl(QString::fromLatin1(p.className), this);
        c->setObjectName(QString::fromLatin1(p.name));
        c->InitProperties();
        vq::twips::setGeometry(c, p.left, p.top, p.width, p.height);
    }
    orderNo()->setLocked(true);
    orderNo()->setpDataType(VqTextBox::NumberOnly);
    orderNo()->setpDecimal(false);
    orderNo()->setThousandSeperator(false);
    customer()->setpDataType(VqTextBox::CharacterOnly);
    customer()->setpCase(VqTextBox::UpperCase);
    customer()->setMaxLength(8);
    customerName()->setLocked(true);
    city()->setQuery(QStringLiteral("SELECT DISTINCT city FROM customers ORDER BY city"));
    orderDate()->setMinDate(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC));
    orderDate()->setMaxDate(QDateTime(QDate(2027, 12, 31), QTime(0, 0), Qt::UTC));
    product()->setpCase(VqTextBox::UpperCase);
    product()->setMaxLength(10);
    productName()->setLocked(true);
    quantity()->setpDataType(VqTextBox::NumberOnly);
    quantity()->setpDecimal(false);
    amount()->setpDataType(VqTextBox::NumberOnly);
    terms()->setValidateData(true);
    resize(vq::twips::toPixelsX(10020, this), vq::twips::toPixelsY(4080, this));
    setMinimumSize(size());
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
