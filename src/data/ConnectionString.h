#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace vq {

// A connection string: "key=value;" pairs. Keys are compared without regard to case; a value may be
// wrapped in braces (a "}}" inside stands for one "}") or double quotes, so that it can hold ";".
class ConnectionString
{
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString &text);

    // The value of the first pair with this key, unwrapped; an empty string when absent.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;
    const QList<QPair<QString, QString>> &pairs() const { return m_pairs; }

    // A value written so that it reads back unchanged (braced when it holds ";", "{", "}" or blanks at
    // its ends).
    static QString quoteValue(const QString &value);

private:
    QList<QPair<QString, QString>> m_pairs;
};

} // namespace vq
