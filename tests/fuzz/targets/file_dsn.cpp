#include "FuzzTarget.h"

#include "data/ConnectionString.h"
#include "data/FileDsn.h"

// .dsn files: any bytes. Every pair the reader finds survives being written into a connection string,
// as the connection does with them.
VQ_FUZZ_TARGET(file_dsn)
{
    const QByteArray contents(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto pairs = vq::parseFileDsn(contents);
    for (const auto &[key, value] : pairs) {
        const vq::ConnectionString again(QStringLiteral("K=") + vq::ConnectionString::quoteValue(value));
        FUZZ_CHECK(
            again.value(QStringLiteral("K")) == value, QString::fromUtf8(contents) + " value " + value);
    }
    vq::resolveFileDsnPath(QString::fromUtf8(contents.left(64)), QStringLiteral("/tmp"));
}
