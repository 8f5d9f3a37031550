#include "FuzzTarget.h"

#include "platform/Error.h"
#include "platform/SendKeys.h"

#include <QApplication>
#include <QLineEdit>

// SendKeys strings, sent to a focused edit field. A string is queued or refused with error 5; a refused
// one queues nothing, so the field stays as it was.
VQ_FUZZ_TARGET(send_keys)
{
    const QString keys = vqfuzz::Input(data, size).rest();
    static QLineEdit *field = [] {
        auto *f = new QLineEdit;
        f->show();
        f->activateWindow();
        f->setFocus();
        return f;
    }();
    field->setText(QStringLiteral("start"));
    bool refused = false;
    try {
        vq::SendKeys(keys);
    } catch (const vq::Error &e) {
        FUZZ_CHECK(e.number() == vq::Error::InvalidProcedureCall, keys);
        refused = true;
    }
    QApplication::processEvents();
    if (refused)
        FUZZ_CHECK(field->text() == QStringLiteral("start"), keys);
}
