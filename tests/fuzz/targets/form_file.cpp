#include "FuzzTarget.h"

#include "forms/FormFile.h"
#include "forms/FormFileError.h"
#include "forms/FormReader.h"
#include "forms/FormWriter.h"
#include "frame/Control.h"
#include "frame/ObjectCount.h"
#include "support/RecordingMessageComponent.h"

#include <QFont>
#include <QWidget>

#include <cmath>

namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double && std::isnan(a.toDouble()))
        return std::isnan(b.toDouble());
    return a == b;
}

bool sameForm(const vq::forms::FormDescription &a, const vq::forms::FormDescription &b)
{
    if (a.controls.size() != b.controls.size())
        return false;
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const auto &x = a.controls[i];
        const auto &y = b.controls[i];
        if (x.className != y.className || x.name != y.name || x.geometry != y.geometry ||
            x.properties.size() != y.properties.size())
            return false;
        for (size_t k = 0; k < x.properties.size(); ++k) {
            if (x.properties[k].key != y.properties[k].key ||
                !sameValue(x.properties[k].value, y.properties[k].value))
                return false;
        }
    }
    return true;
}

} // namespace

// Form files: any bytes. The reader refuses them with a place inside the text, or what it read is written
// and read back as the same form and the same text; a small form is also loaded into real controls, which
// all exist afterwards, or none do.
VQ_FUZZ_TARGET(form_file)
{
    static vq::test::Recorder recorder;
    static vq::test::RecordingFactory factory(recorder);
    static vq::test::ProcessRegistration quiet(&factory);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString shown = QString::fromUtf8(bytes.left(2000));
    vq::forms::FormDescription form;
    try {
        form = vq::forms::readForm(bytes);
    } catch (const vq::FormFileError &e) {
        FUZZ_CHECK(e.number() == vq::Error::InvalidFileFormat && e.line() >= 1 && e.column() >= 1 &&
                e.line() <= bytes.count('\n') + 1 && e.column() <= bytes.size() + 1,
            shown + " : " + e.description());
        return;
    }
    QByteArray written;
    try {
        written = vq::forms::writeForm(form);
    } catch (const vq::Error &) {
        // Only a value the reader made that the writer has no form for: none exists, so this is a fault.
        vqfuzz::fail("what was read can be written", shown);
    }
    try {
        const vq::forms::FormDescription again = vq::forms::readForm(written);
        FUZZ_CHECK(sameForm(form, again), shown + " written as " + QString::fromUtf8(written));
        FUZZ_CHECK(
            vq::forms::writeForm(again) == written, shown + " written as " + QString::fromUtf8(written));
    } catch (const vq::Error &e) {
        vqfuzz::fail("a written form reads back", QString::fromUtf8(written) + " : " + e.description());
    }

    if (form.controls.size() > 3)
        return;
    QWidget parent;
    const int live = vq::objects::library().live();
    try {
        const QList<vq::Control *> controls = vq::FormFile::fromText(bytes, &parent);
        FUZZ_CHECK(controls.size() == qsizetype(form.controls.size()), shown);
        vq::FormFile::toText(controls);
    } catch (const vq::FormFileError &e) {
        FUZZ_CHECK(parent.children().isEmpty() && vq::objects::library().live() == live, shown);
        FUZZ_CHECK(e.line() >= 1 && e.column() >= 1, shown + " : " + e.description());
    }
}
