#include "forms/FormFile.h"

#include "forms/FormFileError.h"
#include "forms/FormReader.h"
#include "forms/FormWriter.h"
#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/PropertyTable.h"
#include "platform/Twips.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <memory>
#include <vector>

namespace vq {

namespace {

using forms::FormControl;
using forms::FormDescription;
using forms::FormPosition;
using forms::FormProperty;

[[noreturn]] void refuse(int number, FormPosition at, const QString &message)
{
    throw FormFileError(number, at.line, at.column, message);
}

QString quoted(const QString &s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The file's bag, telling which key a control read last: a control that refuses a value does so right
// after reading it, so that key is where the file is wrong.
class FileBag : public PropertyBag
{
public:
    explicit FileBag(const FormControl &control)
    {
        for (const FormProperty &p : control.properties)
            m_values.WriteProperty(p.key, p.value);
    }

    QVariant ReadProperty(const QString &name, const QVariant &defaultValue) override
    {
        m_lastRead = name;
        return m_values.ReadProperty(name, defaultValue);
    }
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue) override
    {
        m_values.WriteProperty(name, value, defaultValue);
    }

    QString lastRead() const { return m_lastRead; }

private:
    MemoryPropertyBag m_values;
    QString m_lastRead;
};

void checkClass(const FormControl &c)
{
    const ClassTable::ClassInfo *info = ClassTable::find(c.className);
    if (!info)
        refuse(Error::InvalidFileFormat, c.classAt,
            QStringLiteral("unknown class %1: the library has no such control").arg(quoted(c.className)));
    if (info->kind != ClassTable::Kind::Control)
        refuse(Error::InvalidFileFormat, c.classAt,
            QStringLiteral("%1 is a property page, not a control").arg(quoted(c.className)));
    if (!ClassTable::isAvailable(c.className))
        refuse(Error::InvalidFileFormat, c.classAt,
            QStringLiteral("the control %1 is not part of this build").arg(quoted(c.className)));
}

void checkKeys(const FormControl &c, const PropertyTable &table)
{
    for (const FormProperty &p : c.properties) {
        if (table.find(p.key))
            continue;
        QStringList known;
        for (const PropertyTable::Entry &e : table.entries())
            known.append(e.key);
        refuse(Error::InvalidFileFormat, p.keyAt,
            known.isEmpty() ? QStringLiteral("%1 saves no properties, so it has none called %2")
                                  .arg(c.className, quoted(p.key))
                            : QStringLiteral("%1 saves no property called %2 (it saves %3)")
                                  .arg(c.className, quoted(p.key), known.join(QStringLiteral(", "))));
    }
}

// One control made, loaded and placed; it is deleted again if any step refuses.
std::unique_ptr<Control> build(const FormControl &c, QWidget *parent, const AmbientProperties *ambient)
{
    std::unique_ptr<Control> control(CreateControl(c.className, parent));
    control->setObjectName(c.name);
    if (ambient)
        control->setAmbientProperties(*ambient);
    checkKeys(c, control->propertyTable());
    FileBag bag(c);
    try {
        control->ReadProperties(bag);
        twips::setGeometry(
            control.get(), c.geometry.x(), c.geometry.y(), c.geometry.width(), c.geometry.height());
    } catch (const FormFileError &) {
        throw;
    } catch (const Error &e) {
        FormPosition at = c.classAt;
        for (const FormProperty &p : c.properties) {
            if (p.key == bag.lastRead())
                at = p.valueAt;
        }
        refuse(e.number(), at,
            QStringLiteral("the control %1 refuses this: %2").arg(quoted(c.name), e.description()));
    }
    return control;
}

QList<Control *> buildForm(const QByteArray &text, QWidget *parent, const AmbientProperties *ambient)
{
    const FormDescription form = forms::readForm(text);
    // Every class is known before the first control is made.
    for (const FormControl &c : form.controls)
        checkClass(c);
    std::vector<std::unique_ptr<Control>> made;
    made.reserve(form.controls.size());
    for (const FormControl &c : form.controls)
        made.push_back(build(c, parent, ambient));
    QList<Control *> controls;
    for (std::unique_ptr<Control> &c : made) {
        controls.append(c.release());
        if (parent)
            controls.last()->show();
    }
    return controls;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        throw Error(Error::FileNotFound, QStringLiteral("File not found: %1").arg(path));
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw Error(Error::PathFileAccessError,
            QStringLiteral("Path/File access error: cannot read %1%2")
                .arg(path,
                    file.errorString().isEmpty() ? QString()
                                                 : QStringLiteral(" (%1)").arg(file.errorString())));
    try {
        forms::checkFormSize(file.size());
    } catch (const FormFileError &e) {
        throw e.inFile(path);
    }
    return file.readAll();
}

QList<Control *> loadFile(const QString &path, QWidget *parent, const AmbientProperties *ambient)
{
    const QByteArray text = readFile(path);
    try {
        return buildForm(text, parent, ambient);
    } catch (const FormFileError &e) {
        throw e.inFile(path);
    }
}

} // namespace

QList<Control *> FormFile::load(const QString &path, QWidget *parent)
{
    return loadFile(path, parent, nullptr);
}

QList<Control *> FormFile::load(const QString &path, QWidget *parent, const AmbientProperties &ambient)
{
    return loadFile(path, parent, &ambient);
}

QList<Control *> FormFile::fromText(const QByteArray &text, QWidget *parent)
{
    return buildForm(text, parent, nullptr);
}

QList<Control *> FormFile::fromText(const QByteArray &text, QWidget *parent, const AmbientProperties &ambient)
{
    return buildForm(text, parent, &ambient);
}

QByteArray FormFile::toText(const QList<Control *> &controls)
{
    if (controls.size() > forms::MaxFormControls)
        throw Error(Error::InvalidPropertyValue,
            QStringLiteral("Invalid property value: a form may hold at most %1 controls, not %2")
                .arg(forms::MaxFormControls)
                .arg(controls.size()));
    FormDescription form;
    QSet<QString> names;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        Control *control = controls.at(i);
        if (!control)
            throw Error(Error::InvalidProcedureCall,
                QStringLiteral("Invalid procedure call or argument: control %1 of the form is null")
                    .arg(i + 1));
        FormControl c;
        c.className = QString::fromLatin1(control->metaObject()->className());
        c.name = control->objectName();
        if (c.name.isEmpty())
            throw Error(Error::InvalidPropertyValue,
                QStringLiteral("Invalid property value: control %1 of the form (%2) has no name")
                    .arg(i + 1)
                    .arg(c.className));
        if (names.contains(c.name))
            throw Error(Error::KeyNotUnique,
                QStringLiteral("Key is not unique in collection: two controls of the form are named %1")
                    .arg(quoted(c.name)));
        names.insert(c.name);
        c.geometry = twips::geometry(control);
        MemoryPropertyBag bag;
        bag.setOmitDefaults(true);
        control->WriteProperties(bag);
        for (const QString &key : bag.keys())
            c.properties.push_back({key, bag.value(key), {}, {}});
        form.controls.push_back(std::move(c));
    }
    return forms::writeForm(form);
}

void FormFile::save(const QString &path, const QList<Control *> &controls)
{
    const QByteArray text = toText(controls);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw Error(Error::PathFileAccessError,
            QStringLiteral("Path/File access error: cannot write %1 (%2)").arg(path, file.errorString()));
}

QList<Control *> FormFile::controlsOf(const QWidget *form)
{
    QList<Control *> controls;
    if (form) {
        for (QObject *child : form->children()) {
            if (auto *c = qobject_cast<Control *>(child))
                controls.append(c);
        }
    }
    return controls;
}

} // namespace vq
