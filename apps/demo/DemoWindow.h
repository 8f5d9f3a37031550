#pragma once

#include "Order.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class FieldLookup;
class OrderBook;
class OrderForm;
class QLabel;

namespace vq {
class Control;
class PropertyPageDialog;
} // namespace vq

// The order-entry program: the order form over the sample database, paged and saved with the command
// buttons, with lookups behind the customer and product fields and a status line for what happens.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Opens the orders of the database at `databasePath` (made beforehand) on the form of `formFile` and
    // shows the last one. Throws vq::Error when the database cannot be read or the form file not loaded
    // (OrderForm).
    explicit DemoWindow(
        const QString &databasePath, const QString &formFile = QString(), QWidget *parent = nullptr);
    ~DemoWindow() override;

    OrderForm *form() const { return m_form; }
    OrderBook *book() const { return m_book; }
    FieldLookup *customerLookup() const { return m_customerLookup; }
    FieldLookup *productLookup() const { return m_productLookup; }

    // The order as the form holds it, and the form showing an order.
    demo::Order order() const;
    void showOrder(const demo::Order &order);

    // Whether the form holds changes to the order shown that are not saved.
    bool isChanged() const;

    // The commands of the buttons of the same names. Paging and New leave an order only when it holds no
    // unsaved changes; otherwise they say so through the warning routine and stay.
    void move(void (OrderBook::*step)());
    void newOrder();
    // Saves the order the form holds, or says through the warning routine why it cannot; returns whether it
    // was saved.
    bool saveOrder();
    // Drops the changes: the order last shown from the database comes back.
    void cancelChanges();

    // The host's property dialog for a control, loaded and ready to show.
    std::unique_ptr<vq::PropertyPageDialog> propertiesDialog(vq::Control *control);
    // Opens the property dialog for the control last used (the amount field at first).
    void showProperties(vq::Control *control = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool mayLeaveOrder();
    void connectButtons();
    void fillCategories();
    void focusMoved(QWidget *old, QWidget *now);
    void updateAmount();
    void showCity(const QString &city);
    void showPosition();
    QString productQuery() const;

    OrderForm *m_form = nullptr;
    OrderBook *m_book = nullptr;
    FieldLookup *m_customerLookup = nullptr;
    FieldLookup *m_productLookup = nullptr;
    QLabel *m_position = nullptr;
    // The order as the form showed it last, read back from the form, to tell changes by.
    demo::Order m_shown;
    QPointer<vq::Control> m_current;
    // Category name to key, and each key's children, for narrowing the product lookup.
    QHash<QString, QString> m_categoryKeys;
    QMultiHash<QString, QString> m_childKeys;
};
