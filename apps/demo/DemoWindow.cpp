#include "DemoWindow.h"

#include "frame/ControlFactory.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

DemoWindow::DemoWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("VqControls demo — customer entry"));
    auto *central = new QWidget(this);
    m_grid = new QGridLayout(central);
    m_grid->setHorizontalSpacing(12);
    m_grid->setColumnStretch(2, 1);
    setCentralWidget(central);

    addField(QStringLiteral("name"), tr("Name"),
        tr("Any text. ENTER or Down moves on, Up moves back; F1 or a double-click asks for help."));
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
    m_grid->setRowStretch(m_row, 1);

    // A filled-in record, each value set through Text as a host would, so it shows in its display form.
    field(QStringLiteral("name"))->setText(QStringLiteral("  Acme Trading  "));
    code->setText(QStringLiteral("ACME"));
    amount->setText(QStringLiteral("1234.5"));
    quantity->setText(QStringLiteral("12000"));
    remark->setText(QStringLiteral("paid in full. thank you"));

    statusBar()->showMessage(tr("Type into the fields; leave a field to see its stored value here."));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) { reportLeft(old); });
    resize(760, 260);
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
    connect(box, &VqTextBox::HelpAction, this,
        [this, label] { statusBar()->showMessage(tr("Help asked for on %1").arg(label)); });
    return box;
}

void DemoWindow::reportLeft(QWidget *old)
{
    if (!old || old->objectName() != QLatin1String("Text1"))
        return;
    if (auto *box = qobject_cast<VqTextBox *>(old->parentWidget()); box && box->window() == this)
        statusBar()->showMessage(
            tr("%1: shown \"%2\", stored Value \"%3\"").arg(box->objectName(), box->Text(), box->Value()));
}
