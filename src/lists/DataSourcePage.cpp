#include "lists/DataSourcePage.h"

#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vq {

namespace {
template<typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    twips::setGeometry(widget, left, top, width, height);
    return widget;
}
} // namespace

DataSourcePage::DataSourcePage(QWidget *parent)
    : PropertyPage(parent)
{
    setWindowTitle(tr("General"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    setPageSize(5445, 3345);

    auto *frame = place(new QFrame(this), "Frame1", 45, -15, 5235, 3015);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(new QLabel(QStringLiteral("DSNName"), frame), "lblDSNName", 135, 315, 900, 225);
    m_dsnName = place(new QLineEdit(frame), "txtDSNName", 135, 555, 4950, 330);
    place(new QLabel(QStringLiteral("Ex. d:\\korData\\kor.dsn"), frame), "Label1", 135, 915, 1905, 225);
    place(new QLabel(QStringLiteral("Query"), frame), "lblQuery", 135, 1335, 480, 225);
    m_query = place(new QPlainTextEdit(frame), "txtQuery", 135, 1590, 4950, 945);
    m_query->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // TAB leaves the field, as it does in every other field of a page.
    m_query->setTabChangesFocus(true);
    setTabOrder(m_dsnName, m_query);
}

} // namespace vq
