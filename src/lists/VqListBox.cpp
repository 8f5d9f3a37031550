#include "lists/VqListBox.h"

#include "frame/BagValues.h"
#include "frame/ClassTable.h"
#include "frame/PropertyBag.h"
#include "lists/ListBoxWidget.h"
#include "platform/Error.h"
#include "platform/Twips.h"

namespace {

const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqListBox"), [](QWidget *parent) -> QObject * { return new VqListBox(parent); });

} // namespace

VqListBox::VqListBox(QWidget *parent)
    : vq::Control(parent)
{
    setObjectName(QStringLiteral("VqListBox"));
    setFocusPolicy(Qt::NoFocus);
    setFont(QFont(QStringLiteral("Arial"), 9));

    m_list1 = new vq::ListBoxWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    // The list keeps its own font whatever the control's.
    m_list1->setFont(QFont(QStringLiteral("Verdana"), 9));
    setFocusProxy(m_list1);

    resize(vq::twips::toPixelsX(1875, this), vq::twips::toPixelsY(1800, this));
    vq::twips::setGeometry(m_list1, 15, 15, 1815, 1740);

    connect(m_list1, &vq::ListBoxWidget::Click, this, &VqListBox::Click);
    connect(m_list1, &vq::ListBoxWidget::KeyDown, this,
        [this](short &keyCode, short &shift) { Q_EMIT KeyDown(keyCode, shift); });
}

VqListBox::~VqListBox() = default;

void VqListBox::AddItem(const QString &Item, const QVariant &Index)
{
    m_list1->AddItem(Item, Index);
}

void VqListBox::Clear()
{
    m_list1->Clear();
}

int VqListBox::ListCount() const
{
    return m_list1->ListCount();
}

int VqListBox::ListIndex() const
{
    return m_list1->ListIndex();
}

void VqListBox::setListIndex(int index)
{
    try {
        m_list1->setListIndex(index);
    } catch (const vq::Error &) {
        // A host's stray index is not worth a failure here; the selection simply stays.
    }
    PropertyChanged(QStringLiteral("ListIndex"));
}

void VqListBox::Refresh()
{
    m_list1->Refresh();
}

void VqListBox::RemoveItem(int Index)
{
    m_list1->RemoveItem(Index);
}

int VqListBox::SelCount() const
{
    return m_list1->SelCount();
}

bool VqListBox::Selected(int Index) const
{
    return m_list1->Selected(Index);
}

void VqListBox::setSelected(int Index, bool selected)
{
    m_list1->setSelected(Index, selected);
    PropertyChanged(QStringLiteral("Selected"));
}

QString VqListBox::Text() const
{
    return m_list1->Text();
}

void VqListBox::setText(const QString &text)
{
    m_list1->setText(text);
    PropertyChanged(QStringLiteral("Text"));
}

QString VqListBox::List(int Index) const
{
    return m_list1->List(Index);
}

void VqListBox::setList(int Index, const QString &text)
{
    m_list1->setList(Index, text);
    PropertyChanged(QStringLiteral("List"));
}

void VqListBox::ReadProperties(vq::PropertyBag &bag)
{
    using namespace vq::bag;
    if (m_list1->ListCount() == 0)
        return;
    m_list1->setListIndex(readInt32(bag, QStringLiteral("ListIndex"), 0));
    m_list1->setSelected(0, readBoolean(bag, QStringLiteral("Selected0"), 0) != 0);
    m_list1->setText(readString(bag, QStringLiteral("Text"), QString()));
    m_list1->setList(0, readString(bag, QStringLiteral("List0"), QString()));
}

void VqListBox::WriteProperties(vq::PropertyBag &bag)
{
    if (m_list1->ListCount() == 0)
        return;
    bag.WriteProperty(QStringLiteral("ListIndex"), m_list1->ListIndex(), short(0));
    bag.WriteProperty(QStringLiteral("Selected0"), short(m_list1->Selected(0) ? -1 : 0), short(0));
    bag.WriteProperty(QStringLiteral("Text"), m_list1->Text(), QString());
    bag.WriteProperty(QStringLiteral("List0"), m_list1->List(0), QString());
}

void VqListBox::Resize()
{
    // Each step may be refused (a control too small for its list); the next step still runs.
    try {
        vq::twips::setWidth(m_list1, widthTwips() - 100);
    } catch (const vq::Error &) { }
    const int height = heightTwips() - 100;
    if (height > 0) {
        const QRect g = vq::twips::geometry(m_list1);
        vq::twips::setGeometry(m_list1, g.x(), g.y(), g.width(), height);
    }
}
