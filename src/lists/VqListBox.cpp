#include "lists/VqListBox.h"

#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "lists/ListBoxWidget.h"
#include "platform/Error.h"
#include "platform/Twips.h"

namespace {

const bool registered = vq::registerClass<VqListBox>();

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

    setDesignSize("VqListBox");
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

const vq::PropertyTable &VqListBox::propertyTable() const
{
    using vq::BagType;
    using Entry = vq::PropertyTable::Entry;
    // Every key goes to the list itself (a refused value is the list's failure, not swallowed as the
    // ListIndex property does), and only while it holds items.
    const auto hasItems = [](const VqListBox &c) { return c.ListCount() > 0; };
    static const vq::PropertyTable table(
        {
            Entry("ListIndex", BagType::Int16, short(0))
                .set<VqListBox>([](VqListBox &c, const QVariant &v) { c.m_list1->setListIndex(v.toInt()); })
                .when<VqListBox>(hasItems),
            Entry("Selected0", BagType::Boolean, short(0))
                .set<VqListBox>(
                    [](VqListBox &c, const QVariant &v) { c.m_list1->setSelected(0, v.toBool()); })
                .get<VqListBox>([](const VqListBox &c) { return c.m_list1->Selected(0); })
                .when<VqListBox>(hasItems),
            Entry("Text", BagType::String, QString())
                .set<VqListBox>([](VqListBox &c, const QVariant &v) { c.m_list1->setText(v.toString()); })
                .when<VqListBox>(hasItems),
            Entry("List0", BagType::String, QString())
                .set<VqListBox>([](VqListBox &c, const QVariant &v) { c.m_list1->setList(0, v.toString()); })
                .get<VqListBox>([](const VqListBox &c) { return c.m_list1->List(0); })
                .when<VqListBox>(hasItems),
        },
        {"ListCount", "ListIndex", "SelCount", "Text"});
    return table;
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
