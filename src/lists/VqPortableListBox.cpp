#include "lists/VqPortableListBox.h"

#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "lists/ListBoxWidget.h"
#include "lists/ListFill.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace {

const bool registered = vq::registerClass<VqPortableListBox>();

constexpr int OpenHeight = 2385;
constexpr int ClosedHeight = 420;

// A font in a bag is a font object, or its text form as QFont::toString writes it.
QFont fontValue(const QVariant &v, const QString &key)
{
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    QFont font;
    if (v.typeId() == QMetaType::QString && font.fromString(v.toString()))
        return font;
    throw vq::Error(vq::Error::TypeMismatch,
        QStringLiteral("Type mismatch: property \"%1\" holds %2 \"%3\" where a font is expected")
            .arg(key, QString::fromLatin1(v.typeName()), v.toString()));
}

// Index, text and item 0 arrive before the fill, while the list may still be empty; an empty list cannot
// hold them, and the control still loads.
template<typename F>
void unlessRefused(F &&apply)
{
    try {
        apply();
    } catch (const vq::Error &) { }
}

} // namespace

struct VqPortableListBox::Private
{
    QComboBox *txtList = nullptr;
    vq::ListBoxWidget *lstList = nullptr;
    QString dsnName;
    QString query;
    vq::PropertyTable table;
};

VqPortableListBox::VqPortableListBox(QWidget *parent)
    : vq::EntryControl(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqPortableListBox"));
    setFocusPolicy(Qt::NoFocus);
    setFont([] {
        QFont f(QStringLiteral("Verdana"));
        f.setPointSizeF(8.25);
        return f;
    }());

    // Tab stops: only the entry field. Tabbing into the control reaches it and opens the list; the list is
    // reached by the opening step and by the mouse, and comes after the entry field in the focus chain, so
    // the {TAB} that ENTER queues there goes on to the next field instead of landing on the entry field
    // (which would open the list again). SHIFT+TAB in the list skips the entry field the same way.
    d->txtList = new QComboBox(this);
    d->txtList->setObjectName(QStringLiteral("txtList"));
    d->txtList->setEditable(true);
    d->txtList->setInsertPolicy(QComboBox::NoInsert);
    d->txtList->setFocusPolicy(Qt::StrongFocus);

    d->lstList = new vq::ListBoxWidget(this);
    d->lstList->setObjectName(QStringLiteral("lstList"));
    d->lstList->setFocusPolicy(Qt::ClickFocus);
    d->lstList->hide();

    setDesignSize("VqPortableListBox");
    vq::twips::setGeometry(d->txtList, 30, 45, 3120, 315);
    vq::twips::setGeometry(d->lstList, 30, 420, 3120, 1635);

    setEntryField(d->txtList->lineEdit(), d->txtList);
    // The list opens when the entry field takes the focus and closes when the list loses it, moves
    // between the two included, which the base's entering and leaving of the whole control do not
    // report. Both act once the widgets have handled their focus events, so that the entry field is done
    // with its focus-in before the focus moves on to the list.
    connect(qApp, &QApplication::focusChanged, this, &VqPortableListBox::focusMoved);
    connect(d->lstList, &vq::ListBoxWidget::Click, this, &VqPortableListBox::Click);
    connect(d->lstList, &vq::ListBoxWidget::KeyDown, this, [this](short &keyCode, short &shift) {
        // The move comes first and the host sees the key after it, as with the other entry controls.
        if (keyCode == vq::keys::VkReturn)
            vq::SendKeys(QStringLiteral("{TAB}"));
        Q_EMIT KeyDown(keyCode, shift);
    });
}

VqPortableListBox::~VqPortableListBox()
{
    // Destroying a focused control moves the focus while its widgets go.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void VqPortableListBox::focusMoved(QWidget *old, QWidget *now)
{
    try {
        // The focus going to another window, or away from the application, comes back to the list.
        if (old == d->lstList && now != d->lstList && now && now->window() == window())
            close();
        if (now && (now == d->txtList || d->txtList->isAncestorOf(now)))
            open();
    } catch (const vq::Error &e) {
        vq::reportError(e);
    }
}

bool VqPortableListBox::focusNextPrevChild(bool next)
{
    if (next || !d->lstList->hasFocus())
        return vq::EntryControl::focusNextPrevChild(next);
    // Back past the entry field: the tab stop before it in the window's focus chain.
    for (QWidget *w = d->txtList->previousInFocusChain(); w && w != d->txtList;
         w = w->previousInFocusChain()) {
        if (w->window() == window() && !isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) &&
            w->isVisible() && w->isEnabled() && !w->focusProxy()) {
            w->setFocus(Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

void VqPortableListBox::open()
{
    d->lstList->show();
    raise();
    resizeTwips(widthTwips(), OpenHeight);
    d->lstList->setFocus(Qt::OtherFocusReason);
}

void VqPortableListBox::close()
{
    d->lstList->hide();
    resizeTwips(widthTwips(), ClosedHeight);
    d->txtList->setEditText(d->lstList->Text());
}

bool VqPortableListBox::isOpen() const
{
    return d->lstList->isVisibleTo(this);
}

void VqPortableListBox::Resize()
{
    // Each step may be refused (a control too small for its widgets); the next step still runs.
    try {
        vq::twips::setWidth(d->txtList, widthTwips() - 50);
    } catch (const vq::Error &) { }
    try {
        vq::twips::setWidth(d->lstList, vq::twips::geometry(d->txtList).width());
    } catch (const vq::Error &) { }
    const int height = heightTwips() - vq::twips::geometry(d->txtList).height() - 100;
    if (height > 0) {
        const QRect g = vq::twips::geometry(d->lstList);
        vq::twips::setGeometry(d->lstList, g.x(), g.y(), g.width(), height);
    }
}

void VqPortableListBox::AddItem(const QString &Item, const QVariant &Index)
{
    d->lstList->AddItem(Item, Index);
}

void VqPortableListBox::Clear()
{
    d->lstList->Clear();
}

QFont VqPortableListBox::Font() const
{
    return d->lstList->font();
}

void VqPortableListBox::setFontProperty(const QFont &font)
{
    d->lstList->setFont(font);
    PropertyChanged(QStringLiteral("Font"));
}

int VqPortableListBox::ListCount() const
{
    return d->lstList->ListCount();
}

int VqPortableListBox::ListIndex() const
{
    return d->lstList->ListIndex();
}

void VqPortableListBox::setListIndex(int index)
{
    d->lstList->setListIndex(index);
    PropertyChanged(QStringLiteral("ListIndex"));
}

void VqPortableListBox::Refresh()
{
    d->lstList->Refresh();
}

void VqPortableListBox::RemoveItem(int Index)
{
    d->lstList->RemoveItem(Index);
}

int VqPortableListBox::SelCount() const
{
    return d->lstList->SelCount();
}

QString VqPortableListBox::Text() const
{
    return d->lstList->Text();
}

void VqPortableListBox::setText(const QString &text)
{
    d->lstList->setText(text);
    PropertyChanged(QStringLiteral("Text"));
}

QString VqPortableListBox::DSNName() const
{
    return d->dsnName;
}

void VqPortableListBox::setDSNName(const QString &path)
{
    d->dsnName = path;
    PropertyChanged(QStringLiteral("DSNName"));
}

QString VqPortableListBox::Query() const
{
    return d->query;
}

void VqPortableListBox::setQuery(const QString &query)
{
    d->query = query;
    PropertyChanged(QStringLiteral("Query"));
}

bool VqPortableListBox::RefreshData()
{
    LoadList();
    return false;
}

QString VqPortableListBox::List(int Index) const
{
    return d->lstList->List(Index);
}

void VqPortableListBox::setList(int Index, const QString &text)
{
    d->lstList->setList(Index, text);
    PropertyChanged(QStringLiteral("List"));
}

bool VqPortableListBox::Selected(int Index) const
{
    return d->lstList->Selected(Index);
}

void VqPortableListBox::setSelected(int Index, bool selected)
{
    d->lstList->setSelected(Index, selected);
    PropertyChanged(QStringLiteral("Selected"));
}

void VqPortableListBox::LoadList()
{
    d->lstList->Clear();
    vq::lists::fillFromFileDsn(
        d->dsnName, d->query, [this](QStringList &&texts) { d->lstList->appendItems(std::move(texts)); });
}

void VqPortableListBox::InitProperties()
{
    d->dsnName.clear();
    d->query.clear();
}

const vq::PropertyTable &VqPortableListBox::propertyTable() const
{
    using vq::BagType;
    using Entry = vq::PropertyTable::Entry;
    if (!d->table.entries().empty())
        return d->table;
    // The font's default is the host's ambient font, so this table is the control's own.
    const auto hasItems = [](const VqPortableListBox &c) { return c.ListCount() > 0; };
    d->table = vq::PropertyTable(
        {
            Entry("Font", BagType::Variant, QVariant())
                .defaultAt([this] { return QVariant(ambientProperties().Font); })
                .set<VqPortableListBox>([](VqPortableListBox &c, const QVariant &v) {
                    c.d->lstList->setFont(fontValue(v, QStringLiteral("Font")));
                }),
            Entry("ListIndex", BagType::Int16, short(0))
                .set<VqPortableListBox>([](VqPortableListBox &c, const QVariant &v) {
                    unlessRefused([&] { c.d->lstList->setListIndex(v.toInt()); });
                }),
            Entry("Text", BagType::String, QString())
                .set<VqPortableListBox>(
                    [](VqPortableListBox &c, const QVariant &v) { c.d->lstList->setText(v.toString()); }),
            {"DSNName", BagType::String, QString()},
            {"Query", BagType::String, QString()},
            // The last key before the fill: at run time the list fills itself here, so Selected0 (read only
            // when the fill brought items) applies to the filled list.
            Entry("List0", BagType::String, QString())
                .set<VqPortableListBox>([](VqPortableListBox &c, const QVariant &v) {
                    unlessRefused([&] { c.d->lstList->setList(0, v.toString()); });
                    if (c.ambientProperties().UserMode)
                        c.LoadList();
                })
                .get<VqPortableListBox>([](const VqPortableListBox &c) { return c.d->lstList->List(0); })
                .writeWhen<VqPortableListBox>(hasItems),
            Entry("Selected0", BagType::Boolean, short(0))
                .set<VqPortableListBox>(
                    [](VqPortableListBox &c, const QVariant &v) { c.d->lstList->setSelected(0, v.toBool()); })
                .get<VqPortableListBox>([](const VqPortableListBox &c) { return c.d->lstList->Selected(0); })
                .when<VqPortableListBox>(hasItems),
        },
        {"Font", "ListCount", "ListIndex", "SelCount", "Text", "DSNName", "Query"});
    return d->table;
}
