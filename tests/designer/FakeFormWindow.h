#pragma once

#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include <QDir>
#include <QPointer>
#include <QUndoStack>

// A form window as Designer's task menus see it: widgets placed inside it find it with
// QDesignerFormWindowInterface::findFormWindow(), and its cursor sets a widget's property the way Designer's
// does, as an undoable command that takes the old value from the widget when it is pushed. The form is
// modified while its undo stack is not clean. Everything else a form window offers is inert.
class FakeFormWindow : public QDesignerFormWindowInterface
{
public:
    explicit FakeFormWindow(QDesignerFormEditorInterface *core)
        : m_core(core)
        , m_cursor(this)
    { }

    QUndoStack *commandHistory() const override { return const_cast<QUndoStack *>(&m_undo); }
    bool isDirty() const override { return !m_undo.isClean(); }
    void setDirty(bool dirty) override
    {
        if (!dirty)
            m_undo.setClean();
    }
    QDesignerFormWindowCursorInterface *cursor() const override { return const_cast<Cursor *>(&m_cursor); }
    QDesignerFormEditorInterface *core() const override { return m_core; }

    QString fileName() const override { return {}; }
    QDir absoluteDir() const override { return {}; }
    QString contents() const override { return {}; }
    QStringList checkContents() const override { return {}; }
    bool setContents(QIODevice *, QString * = nullptr) override { return false; }
    Feature features() const override { return {}; }
    bool hasFeature(Feature) const override { return false; }
    QString author() const override { return {}; }
    void setAuthor(const QString &) override { }
    QString comment() const override { return {}; }
    void setComment(const QString &) override { }
    void layoutDefault(int *, int *) override { }
    void setLayoutDefault(int, int) override { }
    void layoutFunction(QString *, QString *) override { }
    void setLayoutFunction(const QString &, const QString &) override { }
    QString pixmapFunction() const override { return {}; }
    void setPixmapFunction(const QString &) override { }
    QString exportMacro() const override { return {}; }
    void setExportMacro(const QString &) override { }
    QStringList includeHints() const override { return {}; }
    void setIncludeHints(const QStringList &) override { }
    ResourceFileSaveMode resourceFileSaveMode() const override { return SaveAllResourceFiles; }
    void setResourceFileSaveMode(ResourceFileSaveMode) override { }
    QtResourceSet *resourceSet() const override { return nullptr; }
    void setResourceSet(QtResourceSet *) override { }
    int toolCount() const override { return 0; }
    int currentTool() const override { return 0; }
    void setCurrentTool(int) override { }
    QDesignerFormWindowToolInterface *tool(int) const override { return nullptr; }
    void registerTool(QDesignerFormWindowToolInterface *) override { }
    QPoint grid() const override { return {}; }
    QWidget *mainContainer() const override { return const_cast<FakeFormWindow *>(this); }
    void setMainContainer(QWidget *) override { }
    QWidget *formContainer() const override { return const_cast<FakeFormWindow *>(this); }
    bool isManaged(QWidget *) const override { return true; }
    void beginCommand(const QString &) override { }
    void endCommand() override { }
    void simplifySelection(QList<QWidget *> *) const override { }
    void emitSelectionChanged() override { }
    QStringList resourceFiles() const override { return {}; }
    void addResourceFile(const QString &) override { }
    void removeResourceFile(const QString &) override { }
    void ensureUniqueObjectName(QObject *) override { }
    void manageWidget(QWidget *) override { }
    void unmanageWidget(QWidget *) override { }
    void setFeatures(Feature) override { }
    void clearSelection(bool = true) override { }
    void selectWidget(QWidget *, bool = true) override { }
    void setGrid(const QPoint &) override { }
    void setFileName(const QString &) override { }
    bool setContents(const QString &) override { return false; }
    void editWidgets() override { }

private:
    class SetProperty : public QUndoCommand
    {
    public:
        SetProperty(QWidget *widget, const QString &name, const QVariant &value)
            : m_widget(widget)
            , m_name(name.toLatin1())
            , m_old(widget->property(m_name.constData()))
            , m_new(value)
        { }
        void redo() override
        {
            if (m_widget)
                m_widget->setProperty(m_name.constData(), m_new);
        }
        void undo() override
        {
            if (m_widget)
                m_widget->setProperty(m_name.constData(), m_old);
        }

    private:
        QPointer<QWidget> m_widget;
        QByteArray m_name;
        QVariant m_old, m_new;
    };

    class Cursor : public QDesignerFormWindowCursorInterface
    {
    public:
        explicit Cursor(FakeFormWindow *form)
            : m_form(form)
        { }
        QDesignerFormWindowInterface *formWindow() const override { return m_form; }
        bool movePosition(MoveOperation, MoveMode = MoveAnchor) override { return false; }
        int position() const override { return 0; }
        void setPosition(int, MoveMode = MoveAnchor) override { }
        QWidget *current() const override { return nullptr; }
        int widgetCount() const override { return 0; }
        QWidget *widget(int) const override { return nullptr; }
        bool hasSelection() const override { return false; }
        int selectedWidgetCount() const override { return 0; }
        QWidget *selectedWidget(int) const override { return nullptr; }
        void setProperty(const QString &, const QVariant &) override { }
        void setWidgetProperty(QWidget *widget, const QString &name, const QVariant &value) override
        {
            m_form->m_undo.push(new SetProperty(widget, name, value));
        }
        void resetWidgetProperty(QWidget *, const QString &) override { }

    private:
        FakeFormWindow *m_form;
    };

    QDesignerFormEditorInterface *m_core;
    QUndoStack m_undo;
    Cursor m_cursor;
};
