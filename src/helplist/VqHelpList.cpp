#include "helplist/VqHelpList.h"

#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "frame/modGeneral.h"
#include "helplist/frmVqHelpList.h"
#include "platform/Screen.h"
#include "platform/Twips.h"

#include <QLabel>

#include <exception>

namespace {
const bool registered = vq::registerClass<VqHelpList>();

QVariant pickedText(int n)
{
    return QVariant(vq::modGeneral::PickedValue(n).toString());
}

// Every step of a lookup may fail without the host hearing of it; the next step runs.
template<typename F>
void step(F &&work)
{
    try {
        work();
    } catch (const std::exception &) {
        // Ignored by design: the lookup goes on with what it has.
    }
}
} // namespace

VqHelpList::VqHelpList(QWidget *parent)
    : vq::Control(parent)
{
    setObjectName(QStringLiteral("VqHelpList"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    setFont(font);
    setDesignSize("VqHelpList");
    m_imgHelp = new QLabel(this);
    m_imgHelp->setObjectName(QStringLiteral("imgHelp"));
    m_imgHelp->setPixmap(QPixmap(QStringLiteral(":/vq/helplist/imgHelp.png")));
    m_imgHelp->setGeometry(0, 0, 16, 16);
}

VqHelpList::~VqHelpList() = default;

void VqHelpList::DisplayHelpList(QObject *Connection, const QString &asQuery)
{
    step([] { vq::Screen::setMousePointer(vq::Screen::Hourglass); });
    frmVqHelpList *window = nullptr;
    step([&] { window = frmVqHelpList::Load(); });
    if (window)
        step([&] { window->FetchRecords(Connection, asQuery); });
    step([] { vq::Screen::setMousePointer(vq::Screen::Arrow); });
    if (window)
        step([&] { window->showModal(); });
}

const vq::PropertyTable &VqHelpList::propertyTable() const
{
    // Nothing is saved; the interface is the five picked values.
    static const vq::PropertyTable table({},
        {QStringLiteral("Value"), QStringLiteral("Value2"), QStringLiteral("Value3"),
            QStringLiteral("Value4"), QStringLiteral("Value5")});
    return table;
}

QVariant VqHelpList::Value() const
{
    return pickedText(1);
}

QVariant VqHelpList::Value2() const
{
    return pickedText(2);
}

QVariant VqHelpList::Value3() const
{
    return pickedText(3);
}

QVariant VqHelpList::Value4() const
{
    return pickedText(4);
}

QVariant VqHelpList::Value5() const
{
    return pickedText(5);
}

void VqHelpList::setVisible(bool visible)
{
    vq::Control::setVisible(visible && !ambientProperties().UserMode);
}
