#include "DemoWindow.h"
#include "DemoLookup.h"

#include "buttons/CommandButton.h"
#include "combos/VqComboBox.h"
#include "combos/VqHierarchyCombo.h"
#include "dates/DateLeave.h"
#include "dates/VqDTPicker.h"
#include "frame/ControlFactory.h"
#include "frame/PropertyPageDialog.h"
#include "lists/VqListBox.h"
#include "lists/VqPortableListBox.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <cstdio>
#include <functional>
#include <utility>

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("VqControls demo — customer entry"));
    auto *central = new QWidget(this);
    m_grid = new QGridLayout(central);
    m_grid->setHorizontalSpacing(12);
    m_grid->setColumnStretch(2, 1);
    setCentralWidget(central);

    VqTextBox *name = addField(QStringLiteral("name"), tr("Name"),
        tr("Any text. ENTER or Down moves on, Up moves back; F1 or a double-click looks up a customer."));
    VqTextBox *code = addField(
        QStringLiteral("code"), tr("Code"), tr("Letters only, turned to upper case as you type; at most 8."));
    code->setpDataType(VqTextBox::CharacterOnly);
    code->setpCase(VqTextBox::UpperCase);
    code->setMaxLength(8);
    VqTextBox *amount = addField(QStringLiteral("amount"), tr("Amount"),
        tr("Digits and one full stop; shown with separators and two decimals when left."));
    amount->setpDataType(VqTextBox::NumberOnly);
    VqTextBox *quantity = addField(QStringLiteral("quantity"), tr("Quantity"),
        tr("Whole numbers only, shown with thousand separators."));
    quantity->setpDataType(VqTextBox::NumberOnly);
    quantity->setpDecimal(0);
    VqTextBox *remark = addField(QStringLiteral("remark"), tr("Remark"),
        tr("Sentence case when left: \"hello. world\" becomes \"Hello.World\"."));
    remark->setpCase(VqTextBox::SentenceCase);
    remark->setMaxLength(60);
    addDateField();
    addSelectionCombos();
    addLists();
    m_grid->setRowStretch(m_row, 1);
    addCommandButtons();
    m_lookup = new DemoLookup(name, code, this);
    connect(m_lookup, &DemoLookup::picked, this, [this](const QString &m) { statusBar()->showMessage(m); });

    QMenu *fieldMenu = menuBar()->addMenu(tr("&Field"));
    QAction *properties = fieldMenu->addAction(tr("&Properties…"), this, [this] { showProperties(); });
    properties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));

    // A filled-in record, each value set through Text as a host would, so it shows in its display form.
    field(QStringLiteral("name"))->setText(QStringLiteral("  Acme Trading  "));
    code->setText(QStringLiteral("ACME"));
    amount->setText(QStringLiteral("1234.5"));
    quantity->setText(QStringLiteral("12000"));
    remark->setText(QStringLiteral("paid in full. thank you"));

    statusBar()->showMessage(tr("Type into the fields; leave a field to see its stored value here."));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) { reportLeft(old); });
    resize(760, 300);
}

DemoWindow::~DemoWindow()
{
    // Closing the window moves the focus while its fields are being destroyed.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

VqTextBox *DemoWindow::field(const QString &name) const
{
    return findChild<VqTextBox *>(name);
}

VqTextBox *DemoWindow::addField(const QString &name, const QString &label, const QString &note)
{
    auto *box = qobject_cast<VqTextBox *>(vq::CreateControl(QStringLiteral("VqTextBox"), centralWidget()));
    box->setObjectName(name);
    box->InitProperties();
    box->setMinimumSize(box->size());
    auto *caption = new QLabel(label, centralWidget());
    caption->setBuddy(box);
    auto *hint = new QLabel(note, centralWidget());
    hint->setStyleSheet(QStringLiteral("color: palette(dark);"));
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(box, m_row, 1);
    m_grid->addWidget(hint, m_row, 2);
    ++m_row;
    // The field's own edit menu, with the property dialog added at the end.
    auto *text1 = box->findChild<QLineEdit *>(QStringLiteral("Text1"));
    text1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(text1, &QWidget::customContextMenuRequested, this, [this, box, text1](const QPoint &pos) {
        std::unique_ptr<QMenu> menu(text1->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction(tr("&Properties…"), this, [this, box] { showProperties(box); });
        menu->exec(text1->mapToGlobal(pos));
    });
    connect(box, &VqTextBox::HelpAction, this,
        [this, label] { statusBar()->showMessage(tr("Help asked for on %1").arg(label)); });
    return box;
}

void DemoWindow::addCommandButtons()
{
    struct Command
    {
        const char *kind;
        QString action;
    };
    const Command commands[] = {
        {"VqOKButton", tr("OK: the customer would be accepted and the form closed.")},
        {"VqCancelButton", tr("Cancel: the changes would be abandoned.")},
        {"VqNewButton", tr("New: the fields would be emptied for a new customer.")},
        {"VqSaveButton", tr("Save: the customer would be written to the database.")},
        {"VqClearButton", tr("Clear: every field would be emptied.")},
        {"VqExitButton", QString()},
    };
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    for (const Command &c : commands) {
        auto *button = qobject_cast<vq::CommandButton *>(
            vq::CreateControl(QString::fromLatin1(c.kind), centralWidget()));
        button->setFixedSize(button->size());
        row->addWidget(button);
        if (c.action.isEmpty())
            connect(button, &vq::CommandButton::Click, this, &QWidget::close);
        else
            connect(button, &vq::CommandButton::Click, this,
                [this, message = c.action] { statusBar()->showMessage(message); });
    }
    row->addStretch(1);
    m_grid->addLayout(row, m_row + 1, 0, 1, 3);
}

std::unique_ptr<vq::PropertyPageDialog> DemoWindow::propertiesDialog(VqTextBox *box)
{
    return std::make_unique<vq::PropertyPageDialog>(box, this);
}

void DemoWindow::showProperties(VqTextBox *box)
{
    if (!box)
        box = m_current ? m_current.data() : field(QStringLiteral("name"));
    bool changed = false;
    const QMetaObject::Connection watch =
        connect(box, &vq::Control::propertyChanged, this, [&changed] { changed = true; });
    std::unique_ptr<vq::PropertyPageDialog> dialog = propertiesDialog(box);
    dialog->exec();
    disconnect(watch);
    if (!changed)
        return;
    // The stored value shown again passes through the field's new case and number rules.
    box->setText(box->Value());
    static const char *const types[] = {"any text", "letters only", "numbers only"};
    static const char *const cases[] = {"as typed", "upper case", "lower case", "sentence case"};
    statusBar()->showMessage(
        tr("%1 now takes %2, %3.")
            .arg(box->objectName(), QString::fromLatin1(types[qMin<int>(box->pDataType(), 2)]),
                QString::fromLatin1(cases[qMin<int>(box->pCase(), 3)])));
}

void DemoWindow::reportLeft(QWidget *old)
{
    if (auto *now = QApplication::focusWidget(); now && now->objectName() == QLatin1String("Text1")) {
        if (auto *box = qobject_cast<VqTextBox *>(now->parentWidget()); box && box->window() == this)
            m_current = box;
    }
    if (!old || old->objectName() != QLatin1String("Text1"))
        return;
    if (auto *box = qobject_cast<VqTextBox *>(old->parentWidget()); box && box->window() == this)
        statusBar()->showMessage(
            tr("%1: shown \"%2\", stored Value \"%3\"").arg(box->objectName(), box->Text(), box->Value()));
}

void DemoWindow::addDateField()
{
    auto *date = qobject_cast<VqDTPicker *>(vq::CreateControl(QStringLiteral("VqDTPicker"), centralWidget()));
    date->setObjectName(QStringLiteral("delivery"));
    date->InitProperties();
    date->setMinimumSize(date->size());
    const QDate today = QDate::currentDate();
    date->setMinDate(QDateTime(QDate(today.year(), 1, 1), QTime(0, 0), Qt::UTC));
    date->setMaxDate(QDateTime(QDate(today.year(), 12, 31), QTime(0, 0), Qt::UTC));
    date->setText(vq::dates::todayText());
    auto *caption = new QLabel(tr("Delivery"), centralWidget());
    caption->setBuddy(date);
    auto *hint = new QLabel(tr("Digits only, the dashes come by themselves; F4 opens the calendar. "
                               "A date outside this year is refused."),
        centralWidget());
    hint->setStyleSheet(QStringLiteral("color: palette(dark);"));
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(date, m_row, 1);
    m_grid->addWidget(hint, m_row, 2);
    ++m_row;
}

namespace {
// Keeps a control that grows over the rows below it (the hierarchy combo's tree) on the place the grid
// keeps free for it.
class FollowPlace : public QObject
{
public:
    FollowPlace(QWidget *place, QWidget *control)
        : QObject(control)
        , m_control(control)
    {
        place->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            m_control->move(static_cast<QWidget *>(watched)->pos());
        return false;
    }

private:
    QWidget *m_control;
};
} // namespace

void DemoWindow::addSelectionCombos()
{
    auto *country =
        qobject_cast<VqComboBox *>(vq::CreateControl(QStringLiteral("VqComboBox"), centralWidget()));
    country->setObjectName(QStringLiteral("country"));
    country->InitProperties();
    country->setMinimumSize(country->size());
    for (const char *name :
        {"Austria", "Belgium", "Canada", "Denmark", "France", "Germany", "Japan", "Norway"})
        country->AddItem(QString::fromLatin1(name));
    country->setValidateData(true);
    country->setText(QStringLiteral("Canada"));
    addRow(tr("Country"), country,
        tr("Pick or type a country of the list (any case); another entry is refused with \"Invalid "
           "Select\"."));

    auto *category = qobject_cast<VqHierarchyCombo *>(
        vq::CreateControl(QStringLiteral("VqHierarchyCombo"), centralWidget()));
    category->setObjectName(QStringLiteral("category"));
    const char *const tree[][3] = {{"", "food", "Food"}, {"food", "fruit", "Fruit"},
        {"fruit", "apples", "Apples"}, {"fruit", "pears", "Pears"}, {"food", "dairy", "Dairy"},
        {"dairy", "cheese", "Cheese"}, {"", "hardware", "Hardware"}, {"hardware", "tools", "Tools"},
        {"hardware", "fasteners", "Fasteners"}, {"", "stationery", "Stationery"},
        {"stationery", "paper", "Paper"}};
    for (const auto &node : tree) {
        if (*node[0])
            category->AddChild(
                QString::fromLatin1(node[0]), QString::fromLatin1(node[1]), QString::fromLatin1(node[2]));
        else
            category->AddRoot(QString::fromLatin1(node[1]), QString::fromLatin1(node[2]));
    }
    category->setText(QStringLiteral("Apples"));
    // Folded until it gets the focus; the grid keeps a place of the folded size, and the open tree hangs
    // over the rows below.
    category->resizeTwips(category->widthTwips(), 405);
    auto *place = new QWidget(centralWidget());
    place->setFixedSize(category->size());
    place->setFocusPolicy(Qt::NoFocus);
    new FollowPlace(place, category);
    addRow(tr("Category"), place,
        tr("Product category: the tree drops down on entry; click a node to pick it."));
}

void DemoWindow::addRow(const QString &label, QWidget *field, const QString &note)
{
    auto *caption = new QLabel(label, centralWidget());
    caption->setBuddy(field);
    auto *hint = new QLabel(note, centralWidget());
    hint->setStyleSheet(QStringLiteral("color: palette(dark);"));
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(field, m_row, 1);
    m_grid->addWidget(hint, m_row, 2);
    ++m_row;
}

namespace {
// Runs a step once, when the window first becomes active (focus moves only in an active window).
class OnFirstActivation : public QObject
{
public:
    OnFirstActivation(QWidget *window, std::function<void()> step)
        : QObject(window)
        , m_step(std::move(step))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && m_step) {
            watched->removeEventFilter(this);
            std::exchange(m_step, nullptr)();
        }
        return false;
    }

private:
    std::function<void()> m_step;
};

// An ODBC file data source over the customer file, beside it, for the SQLite ODBC driver as registered.
QString customerDataSource()
{
    const QString db = DemoLookup::databasePath();
    if (!DemoLookup::ensureDatabase(db))
        return QString();
    const QString dsn = QFileInfo(db).absolutePath() + QStringLiteral("/customers.dsn");
    QFile f(dsn);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "vqdemo: cannot write %s\n", qPrintable(dsn));
        return QString();
    }
    f.write(QStringLiteral("[ODBC]\nDRIVER=SQLite3\nDatabase=%1\n").arg(db).toUtf8());
    return dsn;
}
} // namespace

void DemoWindow::addLists()
{
    auto *city = qobject_cast<VqPortableListBox *>(
        vq::CreateControl(QStringLiteral("VqPortableListBox"), centralWidget()));
    city->setObjectName(QStringLiteral("city"));
    city->InitProperties();
    city->setDSNName(customerDataSource());
    city->setQuery(QStringLiteral("SELECT DISTINCT city FROM customers ORDER BY city"));
    city->RefreshData();
    // Closed until its entry gets the focus; the open list hangs over the rows below, as the tree does.
    city->resizeTwips(city->widthTwips(), 420);
    auto *place = new QWidget(centralWidget());
    place->setFixedSize(city->size());
    place->setFocusPolicy(Qt::NoFocus);
    new FollowPlace(place, city);
    addRow(tr("City"), place,
        tr("The customer file's cities, read through customers.dsn (ODBC); ENTER or a click elsewhere "
           "picks one."));
    // The record's city, picked as a clerk would, once the form can take the focus.
    new OnFirstActivation(this, [this, city] {
        city->setFocus(Qt::OtherFocusReason);
        city->setText(QStringLiteral("Ghent"));
        field(QStringLiteral("name"))->setFocus(Qt::OtherFocusReason);
    });

    auto *terms = qobject_cast<VqListBox *>(vq::CreateControl(QStringLiteral("VqListBox"), centralWidget()));
    terms->setObjectName(QStringLiteral("terms"));
    for (const char *term : {"Cash on delivery", "Net 10 days", "Net 30 days", "Net 60 days", "Prepaid"})
        terms->AddItem(QString::fromLatin1(term));
    terms->setText(QStringLiteral("Net 30 days"));
    terms->resizeTwips(2700, 1050);
    terms->setFixedSize(terms->size());
    connect(terms, &VqListBox::Click, this,
        [this, terms] { statusBar()->showMessage(tr("Payment terms: %1").arg(terms->Text())); });
    addRow(tr("Terms"), terms, tr("A plain list; a click or the arrow keys pick the payment terms."));
}
