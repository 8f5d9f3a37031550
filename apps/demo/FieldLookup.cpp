#include "FieldLookup.h"

#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"
#include "platform/Error.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

FieldLookup::FieldLookup(
    VqTextBox *field, VqHelpList *helpList, QObject *connection, Query query, Fill fill, QObject *parent)
    : QObject(parent)
    , m_helpList(helpList)
    , m_connection(connection)
    , m_query(std::move(query))
    , m_fill(std::move(fill))
{
    connect(field, &VqTextBox::HelpAction, this, [this] {
        // Raised from a key or a click: an error must not unwind through the event loop.
        try {
            lookUp();
        } catch (const vq::Error &e) {
            vq::reportError(e);
        }
    });
}

bool FieldLookup::lookUp(const std::function<void(frmVqHelpList *)> &whileOpen)
{
    if (whileOpen) {
        // Fetching lets pending events run before the window shows, so wait for the show itself.
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, whileOpen] {
            frmVqHelpList *window = frmVqHelpList::instance();
            if (!window->isOpen() || !window->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            whileOpen(window);
        });
        poll->start(10);
    }
    m_helpList->DisplayHelpList(m_connection, m_query());
    if (m_helpList->Value().toString().isEmpty())
        return false;
    m_fill({m_helpList->Value(), m_helpList->Value2(), m_helpList->Value3(), m_helpList->Value4(),
        m_helpList->Value5()});
    return true;
}

bool FieldLookup::renderSearch(frmVqHelpList *window, const QString &text, const QString &file)
{
    auto *txtItem = window->findChild<QLineEdit *>(QStringLiteral("txtItem"));
    txtItem->setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(txtItem, &press);
    }
    QApplication::processEvents();
    const bool saved = window->grab().save(file, "PNG");
    window->Unload();
    return saved;
}
