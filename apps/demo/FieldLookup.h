#pragma once

#include <QObject>
#include <QVariantList>

#include <functional>

class VqHelpList;
class VqTextBox;
class frmVqHelpList;

// A field's lookup: F1 (or a double-click) on the field opens the help list over a query, and a picked row
// hands its first five cells to the form. The query is asked for at each lookup, so that it can follow
// what the form holds (the products of the chosen category).
class FieldLookup : public QObject
{
    Q_OBJECT

public:
    using Query = std::function<QString()>;
    // Value to Value5 of the picked row.
    using Fill = std::function<void(const QVariantList &values)>;

    // `connection` is any object with a ConnectionString property; the lookup reads nothing else of it.
    FieldLookup(VqTextBox *field, VqHelpList *helpList, QObject *connection, Query query, Fill fill,
        QObject *parent = nullptr);

    // Opens the lookup and returns once it is closed: whether a row was picked. `whileOpen` (for pictures
    // and tests) runs inside the open window once it shows.
    bool lookUp(const std::function<void(frmVqHelpList *)> &whileOpen = {});

    // Types `text` into the open window's search field as a user would, renders the window to a PNG file
    // and closes it without a pick; returns whether the file was written.
    static bool renderSearch(frmVqHelpList *window, const QString &text, const QString &file);

private:
    VqHelpList *m_helpList;
    QObject *m_connection;
    Query m_query;
    Fill m_fill;
};
