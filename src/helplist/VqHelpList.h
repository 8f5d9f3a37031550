#pragma once

#include "frame/Control.h"

#include <QVariant>

// The handle through which a host opens the lookup window: DisplayHelpList(connection, query) fetches
// the query's rows over the connection's ConnectionString into the thread's frmVqHelpList, shows it
// modally and returns when the user has closed it. The picked row's first five cells are then Value to
// Value5 (variants holding strings), shared by every VqHelpList of the thread; an empty Value means the
// user closed the window without picking, and Value2 to Value5 then still hold the previous pick.
//
// At design time the control shows its picture (imgHelp); at run time it never becomes visible. It has
// no saved properties and no events.
class VqHelpList : public vq::Control
{
    Q_OBJECT
    // The picked row is a run-time result: Designer does not show it.
    Q_PROPERTY(QVariant Value READ Value DESIGNABLE false)
    Q_PROPERTY(QVariant Value2 READ Value2 DESIGNABLE false)
    Q_PROPERTY(QVariant Value3 READ Value3 DESIGNABLE false)
    Q_PROPERTY(QVariant Value4 READ Value4 DESIGNABLE false)
    Q_PROPERTY(QVariant Value5 READ Value5 DESIGNABLE false)

public:
    explicit VqHelpList(QWidget *parent = nullptr);
    ~VqHelpList() override;

    // Connection: any object with a readable ConnectionString property (a vq::Connection, the host's own
    // object); only that text is read, the object is neither used nor closed. asQuery: an SQL statement
    // or a table name. Never throws: a connection without ConnectionString, a bad connection string or a
    // failing query leave the window empty ("0 Fetched"), and it is shown all the same. The pointer is
    // the arrow afterwards.
    Q_INVOKABLE void DisplayHelpList(QObject *Connection, const QString &asQuery);

    QVariant Value() const;
    QVariant Value2() const;
    QVariant Value3() const;
    QVariant Value4() const;
    QVariant Value5() const;

    // Keeps the control hidden while its host runs the form (ambient UserMode true).
    void setVisible(bool visible) override;

    const vq::PropertyTable &propertyTable() const override;

private:
    class QLabel *m_imgHelp = nullptr;
};
