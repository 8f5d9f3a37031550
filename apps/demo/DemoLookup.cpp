#include "DemoLookup.h"

#include "data/Connection.h"
#include "frame/ControlFactory.h"
#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"
#include "platform/Error.h"
#include "textbox/VqTextBox.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

const char *const Surnames[] = {"Adams", "Baker", "Bakersfield", "Carter", "Davies", "Evans", "Fischer",
    "Garcia", "Hughes", "Ibsen", "Jensen", "Kowalski", "Lambert", "Moreau", "Novak", "Olsen", "Patel",
    "Quinn", "Rossi", "Schmidt", "Tanaka", "Underwood", "Vargas", "Walker", "Young", "Zimmermann"};
const char *const GivenNames[] = {"Anna", "Ben", "Clara", "David", "Eva", "Frank", "Grace", "Hugo", "Iris",
    "Jonas", "Karin", "Liam", "Mia", "Noah", "Olga", "Paul", "Rosa", "Sven", "Tara", "Viktor"};
const char *const Cities[] = {"Aberdeen", "Bergen", "Cork", "Dresden", "Eindhoven", "Florence", "Ghent",
    "Hamburg", "Innsbruck", "Krakow", "Lyon", "Malmo", "Nantes", "Oporto", "Prague", "Riga"};

template<typename T, size_t N>
constexpr size_t count(T (&)[N])
{
    return N;
}

} // namespace

DemoLookup::DemoLookup(VqTextBox *name, VqTextBox *code, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_code(code)
    , m_helpList(qobject_cast<VqHelpList *>(vq::CreateControl(QStringLiteral("VqHelpList"), name)))
    , m_connection(new vq::Connection(this))
{
    m_connection->setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + databasePath());
    connect(name, &VqTextBox::HelpAction, this, [this] { lookUp(); });
}

DemoLookup::~DemoLookup() = default;

QString DemoLookup::databasePath()
{
    if (const QString set = qEnvironmentVariable("VQ_DEMO_DATA"); !set.isEmpty())
        return set;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
        QStringLiteral("/customers.db");
}

bool DemoLookup::ensureDatabase(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    // Made under a temporary name and renamed when complete, so an interrupted first run starts over.
    const QString partial = path + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(partial);
    try {
        {
            QFile empty(partial);
            if (!empty.open(QIODevice::WriteOnly))
                throw vq::Error(vq::Error::InvalidProcedureCall, empty.errorString());
        }
        vq::Connection db;
        db.Open(QStringLiteral("Provider=SQLite;Data Source=") + partial);
        db.Execute(
            QStringLiteral("CREATE TABLE customers (name varchar(40), code varchar(8), city varchar(20), "
                           "balance money, since date)"));
        db.Execute(QStringLiteral("BEGIN"));
        // A fixed walk through the lists, so that every first run makes the same customers.
        quint32 seed = 20260101;
        for (int i = 0; i < 3000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const QString surname = QLatin1String(Surnames[seed % count(Surnames)]);
            const QString given = QLatin1String(GivenNames[(seed >> 8) % count(GivenNames)]);
            const QString code = (surname.left(4) + given.left(2)).toUpper() + QChar(u'A' + i % 26) +
                QChar(u'A' + (i / 26) % 26);
            db.Execute(QStringLiteral("INSERT INTO customers VALUES ('%1, %2', '%3', '%4', %5, '%6')")
                           .arg(surname, given, code, QLatin1String(Cities[(seed >> 16) % count(Cities)]))
                           .arg(double((seed >> 4) % 1000000) / 100, 0, 'f', 2)
                           .arg(QDate(2000, 1, 1).addDays((seed >> 12) % 9000).toString(Qt::ISODate)));
        }
        db.Execute(QStringLiteral("COMMIT"));
        db.Close();
    } catch (const vq::Error &e) {
        std::fprintf(stderr, "vqdemo: cannot make the customer file %s: %s\n", qPrintable(partial),
            qPrintable(e.description()));
        QFile::remove(partial);
        return false;
    }
    return QFile::rename(partial, path);
}

void DemoLookup::lookUp(const std::function<void(frmVqHelpList *)> &whileOpen)
{
    if (!ensureDatabase(databasePath()))
        return;
    if (whileOpen) {
        // Fetching lets pending events run once before the window shows, so wait for the show itself.
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, whileOpen] {
            frmVqHelpList *window = frmVqHelpList::instance();
            if (!window->isOpen() || !window->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            whileOpen(window);
        });
        poll->start(10);
    }
    m_helpList->DisplayHelpList(
        m_connection, QStringLiteral("SELECT name, code, city, balance, since FROM customers"));
    const QString name = m_helpList->Value().toString();
    if (name.isEmpty()) {
        Q_EMIT picked(tr("No customer picked."));
        return;
    }
    m_name->setText(name);
    m_code->setText(m_helpList->Value2().toString());
    Q_EMIT picked(tr("Picked %1 of %2 (%3).")
                      .arg(name, m_helpList->Value3().toString(), m_helpList->Value2().toString()));
}

bool DemoLookup::renderSearch(frmVqHelpList *window, const QString &file)
{
    auto *txtItem = window->findChild<QLineEdit *>(QStringLiteral("txtItem"));
    txtItem->setFocus();
    for (const QChar c : QStringLiteral("Bak")) {
        QKeyEvent press(QEvent::KeyPress, QChar(c.toUpper()).unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(txtItem, &press);
    }
    QApplication::processEvents();
    const bool saved = window->grab().save(file, "PNG");
    window->Unload();
    return saved;
}
