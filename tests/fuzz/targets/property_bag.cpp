#include "FuzzTarget.h"

#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/PropertyTable.h"
#include "platform/Error.h"
#include "support/ControlNames.h"
#include "support/RecordingMessageComponent.h"
#include "support/SavedProperties.h"

#include <QDate>
#include <QDateTime>
#include <QMetaProperty>

#include <cstring>
#include <memory>

namespace {

template<class T>
T take(vqfuzz::Input &in)
{
    unsigned char bytes[sizeof(T)];
    for (unsigned char &b : bytes)
        b = in.byte();
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// A value of any of the types a form file may hold, typed or not as the key expects.
QVariant anyValue(vqfuzz::Input &in)
{
    switch (in.byte() % 12) {
    case 0:
        return QVariant();
    case 1:
        return QVariant(bool(in.byte() & 1));
    case 2:
        return QVariant(take<int>(in));
    case 3:
        return QVariant(int(take<short>(in)));
    case 4:
        return QVariant(take<qlonglong>(in));
    case 5:
        return QVariant(take<double>(in));
    case 6:
        return QVariant(in.text());
    case 7:
        return QVariant(QDate::fromJulianDay(take<qint32>(in)));
    case 8:
        return QVariant(QDateTime::fromMSecsSinceEpoch(take<qint64>(in) % 400000000000000LL, Qt::UTC));
    case 9:
        return QVariant(in.text().toUtf8());
    case 10:
        return QVariant(take<uint>(in));
    default:
        return QVariant(short(-1));
    }
}

} // namespace

// A form file's bag, fuzzed, read by a control: it loads, or it is refused with vq::Error and the control
// keeps what it had; either way the control still answers every property and saves again.
VQ_FUZZ_TARGET(property_bag)
{
    static vq::test::Recorder recorder;
    static vq::test::RecordingFactory factory(recorder);
    static vq::test::ProcessRegistration quiet(&factory);
    static const QStringList names = vq::test::availableControlNames();
    if (names.isEmpty())
        return;

    vqfuzz::Input in(data, size);
    const QString name = names.at(in.byte() % names.size());
    std::unique_ptr<vq::Control> control(vq::CreateControl(name));
    const QStringList keys = control->propertyTable().readKeys();
    vq::MemoryPropertyBag bag;
    while (!in.atEnd() && !keys.isEmpty()) {
        const uint8_t pick = in.byte();
        const QString key = pick == 255 ? in.text() : keys.at(pick % keys.size());
        bag.WriteProperty(key, anyValue(in));
    }
    QString described = name;
    for (const QString &key : bag.keys())
        described += QLatin1Char(' ') + key + QLatin1Char('=') + bag.value(key).toString();

    const auto before = vq::test::savedProperties(*control);
    try {
        control->ReadProperties(bag);
    } catch (const vq::Error &) {
        FUZZ_CHECK(vq::test::savedProperties(*control) == before, described);
    }
    const QMetaObject *meta = control->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        control->property(meta->property(i).name());
    vq::MemoryPropertyBag again;
    control->WriteProperties(again);
    std::unique_ptr<vq::Control> copy(vq::CreateControl(name));
    try {
        copy->ReadProperties(again);
    } catch (const vq::Error &e) {
        vqfuzz::fail("what a control saved loads again", described + " : " + e.description());
    }
}
