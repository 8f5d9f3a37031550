#pragma once

#include <QObject>
#include <QString>

#include <functional>

class VqHelpList;
class VqTextBox;
class frmVqHelpList;

namespace vq {
class Connection;
}

// The demo's customer lookup: F1 (or a double-click) on the Name field opens the help list over a
// customer file that the demo makes on its first run, and the picked customer fills Name and Code.
class DemoLookup : public QObject
{
    Q_OBJECT

public:
    // `name` and `code` are the fields the pick fills; the lookup's control sits beside them, unseen.
    DemoLookup(VqTextBox *name, VqTextBox *code, QObject *parent = nullptr);
    ~DemoLookup() override;

    // The customer file: under the user's data folder, or where VQ_DEMO_DATA points.
    static QString databasePath();
    // Makes the file, 3000 customers, unless it is there already. Returns false with a message on stderr.
    static bool ensureDatabase(const QString &path);

    // Opens the lookup; `whileOpen` (for pictures of it) runs inside it once it is shown.
    void lookUp(const std::function<void(frmVqHelpList *)> &whileOpen = {});

    // Types "Bak" into the open lookup's search field as a user would, renders the window to a PNG file
    // and closes it without a pick; returns whether the file was written.
    static bool renderSearch(frmVqHelpList *window, const QString &file);

Q_SIGNALS:
    void picked(const QString &message);

private:
    VqTextBox *m_name;
    VqTextBox *m_code;
    VqHelpList *m_helpList;
    vq::Connection *m_connection;
};
