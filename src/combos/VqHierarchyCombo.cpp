#include "combos/VqHierarchyCombo.h"

#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "platform/Error.h"
#include "platform/SendKeys.h"
#include "platform/TreeView.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const bool registered = vq::registerClass<VqHierarchyCombo>();

constexpr int OpenHeight = 2400;
constexpr int FoldedHeight = 405;

// The entry field only looks like a combo box: its drop-down is the tree, which the focus opens.
class EntryCombo : public QComboBox
{
public:
    using QComboBox::QComboBox;
    void showPopup() override { }
};

// A window being deactivated or a pop-up menu opening is not the user moving between fields.
bool movesBetweenFields(const QEvent *event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

struct VqHierarchyCombo::Private
{
    EntryCombo *txtcombo = nullptr;
    vq::TreeView *treCombo = nullptr;
    // Shift+TAB out of the open tree lands on the entry field first; it passes the focus on backwards
    // instead of opening the tree again.
    bool leavingBackwards = false;
};

VqHierarchyCombo::VqHierarchyCombo(QWidget *parent)
    : vq::Control(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqHierarchyCombo"));
    setDesignSize("VqHierarchyCombo");
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);
    setFocusPolicy(Qt::NoFocus);

    // Created before the tree, so that TAB reaches the field first and leaves the control from the tree.
    d->txtcombo = new EntryCombo(this);
    d->txtcombo->setObjectName(QStringLiteral("txtcombo"));
    d->txtcombo->setEditable(true);
    d->txtcombo->setInsertPolicy(QComboBox::NoInsert);
    d->txtcombo->lineEdit()->setReadOnly(true);
    setFocusProxy(d->txtcombo);

    d->treCombo = new vq::TreeView(this);
    d->treCombo->setObjectName(QStringLiteral("treCombo"));
    d->treCombo->hide();

    vq::twips::setGeometry(d->txtcombo, 45, 45, 2745, 315);
    vq::twips::setGeometry(d->treCombo, 45, 405, 2745, 1965);

    d->txtcombo->installEventFilter(this);
    d->txtcombo->lineEdit()->installEventFilter(this);
    d->treCombo->installEventFilter(this);
    connect(d->treCombo, &vq::TreeView::NodeClick, this,
        [this] { d->txtcombo->setEditText(d->treCombo->SelectedItem().Text()); });
    connect(d->treCombo, &vq::TreeView::KeyPress, this, [](short &keyAscii) {
        if (keyAscii == 13)
            vq::SendKeys(QStringLiteral("{TAB}"));
    });
}

VqHierarchyCombo::~VqHierarchyCombo() = default;

QString VqHierarchyCombo::Text() const
{
    return d->txtcombo->currentText();
}

void VqHierarchyCombo::setText(const QString &text)
{
    d->txtcombo->setEditText(text);
    PropertyChanged(QStringLiteral("Text"));
}

void VqHierarchyCombo::AddChild(const QString &Root, const QString &Key, const QString &Text)
{
    d->treCombo->Nodes().Add(Root, vq::TreeNodes::tvwChild, Key, Text);
}

void VqHierarchyCombo::AddRoot(const QString &Key, const QString &Text)
{
    d->treCombo->Nodes().Add(QVariant(), vq::TreeNodes::tvwLast, Key, Text);
}

void VqHierarchyCombo::open()
{
    d->treCombo->show();
    resize(width(), vq::twips::toPixelsY(OpenHeight, this));
    // The tree hangs over whatever lies below the control on the form.
    raise();
    d->treCombo->setFocus(Qt::OtherFocusReason);
}

void VqHierarchyCombo::fold()
{
    d->treCombo->hide();
    resize(width(), vq::twips::toPixelsY(FoldedHeight, this));
}

bool VqHierarchyCombo::eventFilter(QObject *watched, QEvent *event)
{
    try {
        // The field takes the focus also when its window opens with it first: that opens the tree too.
        if (event->type() == QEvent::FocusIn && watched != d->treCombo &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            if (d->leavingBackwards &&
                static_cast<QFocusEvent *>(event)->reason() == Qt::BacktabFocusReason) {
                d->leavingBackwards = false;
                focusNextPrevChild(false);
            } else {
                open();
            }
        } else if (event->type() == QEvent::FocusOut && watched == d->treCombo && movesBetweenFields(event)) {
            d->leavingBackwards = static_cast<QFocusEvent *>(event)->reason() == Qt::BacktabFocusReason;
            fold();
        }
    } catch (const vq::Error &e) {
        vq::reportError(e);
    }
    return vq::Control::eventFilter(watched, event);
}

void VqHierarchyCombo::keyPressEvent(QKeyEvent *event)
{
    // ENTER has already moved on through the tree's KeyPress; a dialog around the control must not take it
    // as a press of its default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    vq::Control::keyPressEvent(event);
}

const vq::PropertyTable &VqHierarchyCombo::propertyTable() const
{
    using vq::BagType;
    // The tree is the host's to build again after loading; only the entry's text is saved.
    static const vq::PropertyTable table({
        vq::PropertyTable::Entry("Text", BagType::String, QString())
            .set<VqHierarchyCombo>(
                [](VqHierarchyCombo &c, const QVariant &v) { c.d->txtcombo->setEditText(v.toString()); }),
    });
    return table;
}

void VqHierarchyCombo::Resize()
{
    // A width the field refuses (a control narrower than 50 twips) leaves it as it was; the tree still
    // follows the field.
    try {
        vq::twips::setWidth(d->txtcombo, widthTwips() - 50);
    } catch (const vq::Error &) { }
    try {
        vq::twips::setWidth(d->treCombo, vq::twips::geometry(d->txtcombo).width());
    } catch (const vq::Error &) { }
}
