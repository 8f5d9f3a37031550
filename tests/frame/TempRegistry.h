#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// Points VQ_REGISTRY at a file in a fresh temporary folder for the life of the object, so that tests never
// touch the user's registry; the previous value comes back afterwards.
class TempRegistry
{
public:
    TempRegistry()
        : m_previous(qgetenv("VQ_REGISTRY"))
        , m_hadPrevious(qEnvironmentVariableIsSet("VQ_REGISTRY"))
    {
        qputenv("VQ_REGISTRY", path().toLocal8Bit());
    }
    ~TempRegistry()
    {
        if (m_hadPrevious)
            qputenv("VQ_REGISTRY", m_previous);
        else
            qunsetenv("VQ_REGISTRY");
    }
    TempRegistry(const TempRegistry &) = delete;
    TempRegistry &operator=(const TempRegistry &) = delete;

    QString path() const { return m_dir.filePath(QStringLiteral("registry.ini")); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

inline bool sameFile(const QString &a, const QString &b)
{
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath() &&
        !QFileInfo(a).canonicalFilePath().isEmpty();
}
