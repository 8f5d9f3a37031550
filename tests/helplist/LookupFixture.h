#pragma once

#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lookup {

// Any object with a ConnectionString property serves as the caller's connection.
inline std::unique_ptr<QObject> connectionObject(const QString &connectionString)
{
    auto object = std::make_unique<QObject>();
    object->setProperty("ConnectionString", connectionString);
    return object;
}

template<typename T>
T *child(frmVqHelpList *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Runs `script` inside the modal loop of the lookup window once it is shown and active, as a user sitting
// in front of it would act; a window the script leaves open is closed afterwards, so a failing check
// cannot hang the test.
inline void whenShown(std::function<void(frmVqHelpList *)> script)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, script] {
        frmVqHelpList *window = frmVqHelpList::instance();
        // Fetching lets pending events run once before the window shows; the script waits for the show.
        if (!window->isOpen() || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        script(window);
        if (window->isOpen())
            window->Unload();
    });
    poll->start();
}

// Opens the lookup through a VqHelpList, runs the script inside it and returns when the window closed.
inline void lookUp(VqHelpList &helpList, QObject *connection, const QString &query,
    std::function<void(frmVqHelpList *)> script)
{
    whenShown(std::move(script));
    helpList.DisplayHelpList(connection, query);
}

// Arms a choice in the Action menu: once the menu pops up, the item is clicked with the mouse.
inline void chooseWhenMenuOpens(const char *itemName)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    const QString name = QString::fromLatin1(itemName);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        QAction *action = menu->findChild<QAction *>(name);
        if (!action) {
            ADD_FAILURE() << "no menu item " << name.toStdString();
            menu->close();
            return;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    });
    poll->start();
}

} // namespace lookup
