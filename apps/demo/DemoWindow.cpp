#include "DemoWindow.h"

#include "FieldLookup.h"
#include "OrderBook.h"
#include "OrderForm.h"
#include "SampleData.h"
#include "SampleDatabase.h"

#include "buttons/CommandButton.h"
#include "combos/VqComboBox.h"
#include "combos/VqHierarchyCombo.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "dates/VqDTPicker.h"
#include "frame/PropertyPageDialog.h"
#include "frame/modGeneral.h"
#include "lists/VqPortableListBox.h"
#include "platform/DateText.h"
#include "platform/Error.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include <functional>

using demo::Order;

DemoWindow::DemoWindow(const QString &databasePath, const QString &formFile, QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("VqControls demo — order entry"));
    m_book = new OrderBook(SampleDatabase::connectionString(databasePath), this);
    m_form = new OrderForm(formFile.isEmpty() ? OrderForm::builtInFormFile() : formFile, this);
    setCentralWidget(m_form);
    m_position = new QLabel(this);
    statusBar()->addPermanentWidget(m_position);

    fillCategories();
    for (const QString &term : demo::sample::paymentTerms())
        m_form->terms()->AddItem(term);
    VqPortableListBox *city = m_form->city();
    city->setDSNName(SampleDatabase::writeDataSource(databasePath));
    city->RefreshData();

    m_customerLookup = new FieldLookup(
        m_form->customer(), m_form->customerLookup(), m_book->connection(),
        [] { return QStringLiteral("SELECT name, code, city, balance, since FROM customers"); },
        [this](const QVariantList &v) {
            m_form->customerName()->setText(v[0].toString());
            m_form->customer()->setText(v[1].toString());
            showCity(v[2].toString());
            statusBar()->showMessage(
                tr("Customer %1, %2 of %3.").arg(v[1].toString(), v[0].toString(), v[2].toString()));
        },
        this);
    m_productLookup = new FieldLookup(
        m_form->product(), m_form->productLookup(), m_book->connection(), [this] { return productQuery(); },
        [this](const QVariantList &v) {
            m_form->productName()->setText(v[0].toString());
            m_form->product()->setText(v[1].toString());
            m_form->category()->setText(v[3].toString());
            updateAmount();
            statusBar()->showMessage(
                tr("Product %1, %2 at %3.").arg(v[1].toString(), v[0].toString(), v[2].toString()));
        },
        this);

    connectButtons();
    connect(m_book, &OrderBook::moved, this, [this] { showOrder(m_book->current()); });

    QMenu *fieldMenu = menuBar()->addMenu(tr("&Field"));
    QAction *properties = fieldMenu->addAction(tr("&Properties…"), this, [this] { showProperties(); });
    properties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));

    connect(qApp, &QApplication::focusChanged, this, &DemoWindow::focusMoved);
    showOrder(m_book->current());
    m_form->customer()->setFocus(Qt::OtherFocusReason);
    statusBar()->showMessage(tr("%1 orders. F1 on Customer or Product looks up; the buttons page and save.")
                                 .arg(QLocale().toString(m_book->count())));
}

DemoWindow::~DemoWindow()
{
    // Closing the window moves the focus while its controls are being destroyed.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void DemoWindow::connectButtons()
{
    const std::pair<const char *, std::function<void()>> commands[] = {
        {"cmdFirst", [this] { move(&OrderBook::moveFirst); }},
        {"cmdPrevious", [this] { move(&OrderBook::movePrevious); }},
        {"cmdNext", [this] { move(&OrderBook::moveNext); }},
        {"cmdLast", [this] { move(&OrderBook::moveLast); }},
        {"cmdNew", [this] { newOrder(); }},
        {"cmdSave", [this] { saveOrder(); }},
        {"cmdCancel", [this] { cancelChanges(); }},
        {"cmdExit", [this] { close(); }},
    };
    for (const auto &[name, command] : commands) {
        // A click comes from the event loop, which an error must not unwind.
        connect(m_form->control<vq::CommandButton>(QString::fromLatin1(name)), &vq::CommandButton::Click,
            this, [this, command] {
                try {
                    command();
                } catch (const vq::Error &e) {
                    statusBar()->showMessage(e.description());
                    vq::reportError(e);
                }
            });
    }
}

void DemoWindow::fillCategories()
{
    vq::Recordset rs;
    rs.Open(QStringLiteral("SELECT key, parent_key, name FROM categories ORDER BY rowid"),
        m_book->connection(), vq::Recordset::adOpenStatic);
    VqHierarchyCombo *tree = m_form->category();
    for (qsizetype r = 0; r < rs.rowCount(); ++r) {
        const QString key = rs.text(r, 0);
        const QString parentKey = rs.text(r, 1);
        const QString name = rs.text(r, 2);
        if (parentKey.isEmpty())
            tree->AddRoot(key, name);
        else
            tree->AddChild(parentKey, key, name);
        m_categoryKeys.insert(name, key);
        m_childKeys.insert(parentKey, key);
    }
}

QString DemoWindow::productQuery() const
{
    QString query = QStringLiteral("SELECT p.name, p.code, p.unit_price, k.name AS category FROM products p "
                                   "JOIN categories k ON k.key = p.category_key");
    const QString chosen = m_categoryKeys.value(m_form->category()->Text());
    if (chosen.isEmpty())
        return query;
    // The chosen category and everything under it.
    QStringList keys {chosen};
    for (qsizetype i = 0; i < keys.size(); ++i)
        keys += m_childKeys.values(keys[i]);
    QStringList literals;
    for (const QString &key : keys)
        literals += demo::sqlLiteral(key);
    return query + QStringLiteral(" WHERE p.category_key IN (%1)").arg(literals.join(QLatin1String(", ")));
}

Order DemoWindow::order() const
{
    Order o;
    o.id = m_form->orderNo()->Value().toLongLong();
    if (const std::optional<QDateTime> date = vq::textToDate(m_form->orderDate()->Text()))
        o.date = date->date();
    o.customerCode = m_form->customer()->Text();
    o.customerName = m_form->customerName()->Text();
    o.city = m_form->city()->Text();
    o.productCode = m_form->product()->Text();
    o.productName = m_form->productName()->Text();
    o.category = m_form->category()->Text();
    o.quantity = m_form->quantity()->Value().toInt();
    o.amount = m_form->amount()->Value();
    o.terms = m_form->terms()->Text();
    return o;
}

void DemoWindow::showOrder(const Order &o)
{
    m_form->orderNo()->setText(o.id ? QString::number(o.id) : QString());
    m_form->orderDate()->setText(o.date.isValid() ? vq::dateToText(o.date) : QString());
    m_form->customer()->setText(o.customerCode);
    m_form->customerName()->setText(o.customerName);
    showCity(o.city);
    m_form->category()->setText(o.category);
    m_form->product()->setText(o.productCode);
    m_form->productName()->setText(o.productName);
    m_form->quantity()->setText(o.quantity ? QString::number(o.quantity) : QString());
    m_form->amount()->setText(o.amount);
    m_form->terms()->setText(o.terms);
    m_shown = order();
    showPosition();
}

void DemoWindow::showCity(const QString &city)
{
    // The list's pick shows in its entry field only when the list closes; a host showing a record puts it
    // there at once.
    m_form->city()->setText(city);
    m_form->city()->findChild<QComboBox *>(QStringLiteral("txtList"))->setEditText(city);
}

void DemoWindow::showPosition()
{
    const QString id = m_form->orderNo()->Text();
    m_position->setText(id.isEmpty()
            ? tr("New order")
            : tr("Order %1 of %2")
                  .arg(QLocale().toString(m_book->position()), QLocale().toString(m_book->count())));
}

bool DemoWindow::isChanged() const
{
    return order() != m_shown;
}

bool DemoWindow::mayLeaveOrder()
{
    if (!isChanged())
        return true;
    QString message = tr("This order has changes that are not saved: Save them, or Cancel to drop them.");
    vq::modGeneral::ShowWarning(message);
    statusBar()->showMessage(message);
    return false;
}

void DemoWindow::move(void (OrderBook::*step)())
{
    if (mayLeaveOrder())
        (m_book->*step)();
}

void DemoWindow::closeEvent(QCloseEvent *event)
{
    if (mayLeaveOrder())
        event->accept();
    else
        event->ignore();
}

void DemoWindow::newOrder()
{
    if (!mayLeaveOrder())
        return;
    Order o;
    o.date = QDate::currentDate();
    o.terms = demo::sample::paymentTerms().front();
    showOrder(o);
    m_form->customer()->setFocus(Qt::OtherFocusReason);
    statusBar()->showMessage(tr("A new order: F1 on Customer and Product looks them up."));
}

void DemoWindow::cancelChanges()
{
    showOrder(m_book->current());
    statusBar()->showMessage(tr("Changes dropped."));
}

bool DemoWindow::saveOrder()
{
    const Order o = order();
    QStringList terms;
    for (const QString &t : demo::sample::paymentTerms())
        terms += t;
    const QDate first = m_form->orderDate()->MinDate().date();
    const QDate last = m_form->orderDate()->MaxDate().date();
    QString problem = demo::orderProblem(o, first, last, terms);
    if (!problem.isEmpty()) {
        vq::modGeneral::ShowWarning(problem);
        statusBar()->showMessage(problem);
        return false;
    }
    try {
        const qint64 id = m_book->save(o);
        statusBar()->showMessage(tr("Order %1 saved.").arg(id));
        return true;
    } catch (const vq::Error &e) {
        QString message = tr("The order was not saved: %1").arg(e.description());
        vq::modGeneral::ShowWarning(message);
        statusBar()->showMessage(message);
        return false;
    }
}

void DemoWindow::updateAmount()
{
    const QString price = m_book->unitPrice(m_form->product()->Text());
    const QString amount = demo::amountFor(price, m_form->quantity()->Value().toInt());
    if (!amount.isEmpty())
        m_form->amount()->setText(amount);
}

void DemoWindow::focusMoved(QWidget *old, QWidget *now)
{
    auto controlOf = [this](QWidget *w) -> vq::Control * {
        for (; w && w != m_form; w = w->parentWidget()) {
            if (w->parentWidget() == m_form)
                return qobject_cast<vq::Control *>(w);
        }
        return nullptr;
    };
    vq::Control *left = controlOf(old);
    vq::Control *entered = controlOf(now);
    if (left == entered)
        return;
    try {
        if (left == m_form->customer() || left == m_form->product()) {
            Order o = order();
            m_book->describe(o);
            m_form->customerName()->setText(o.customerName);
            showCity(o.city);
            m_form->productName()->setText(o.productName);
            m_form->category()->setText(o.category);
        }
        if (left == m_form->quantity() || left == m_form->product())
            updateAmount();
    } catch (const vq::Error &e) {
        vq::reportError(e);
    }
    if (entered) {
        m_current = entered;
        if (const QString hint = OrderForm::hint(entered->objectName()); !hint.isEmpty())
            statusBar()->showMessage(hint);
    }
}

std::unique_ptr<vq::PropertyPageDialog> DemoWindow::propertiesDialog(vq::Control *control)
{
    return std::make_unique<vq::PropertyPageDialog>(control, this);
}

void DemoWindow::showProperties(vq::Control *control)
{
    if (!control)
        control = m_current ? m_current.data() : m_form->amount();
    bool changed = false;
    const QMetaObject::Connection watch =
        connect(control, &vq::Control::propertyChanged, this, [&changed] { changed = true; });
    std::unique_ptr<vq::PropertyPageDialog> dialog = propertiesDialog(control);
    dialog->exec();
    disconnect(watch);
    if (!changed)
        return;
    // A text box shows its stored value again under its new case and number rules.
    if (auto *box = qobject_cast<VqTextBox *>(control))
        box->setText(box->Value());
    statusBar()->showMessage(tr("%1: properties applied.").arg(control->objectName()));
}
