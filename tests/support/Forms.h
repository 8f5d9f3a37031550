#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace vq::test {

// Shows a window and makes it the active one, as a user's click would; false when it did not become active.
inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// A host's form, shown and active: a plain field "before", the widget under test, and a plain field
// "after", in that tab order. Make it with the control's constructor, e.g.
//   vq::test::Form form([](QWidget *parent) { return vq::CreateControl("VqTextBox", parent); });
//   ASSERT_TRUE(form.isActive());
// As a dialog host, the form is a QDialog, where Qt presses the default push button on ENTER (and makes
// the first auto-default push button the default when none is set); Host::DialogWithDefaultButton adds a
// default push button "Save" that counts its clicks.
class Form
{
public:
    enum class Host { Window, Dialog, DialogWithDefaultButton };

    template<class MakeWidget>
    explicit Form(MakeWidget make, Host host = Host::Window)
    {
        if (host != Host::Window)
            window.reset(dialog = new QDialog);
        else
            window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        before = new QLineEdit(window.get());
        before->setObjectName(QStringLiteral("before"));
        layout->addWidget(before);
        widget = make(window.get());
        layout->addWidget(widget);
        after = new QLineEdit(window.get());
        after->setObjectName(QStringLiteral("after"));
        layout->addWidget(after);
        if (host == Host::DialogWithDefaultButton) {
            save = new QPushButton(QStringLiteral("Save"), window.get());
            save->setObjectName(QStringLiteral("save"));
            save->setDefault(true);
            QObject::connect(save, &QPushButton::clicked, [this] { ++saveClicks; });
            layout->addWidget(save);
        }
        active = showActive(window.get());
    }

    bool isActive() const { return active; }

    // Gives w the focus as tabbing would, and lets the focus events run.
    static void focus(QWidget *w, Qt::FocusReason reason = Qt::TabFocusReason)
    {
        w->setFocus(reason);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<QWidget> window;
    QDialog *dialog = nullptr;
    QLineEdit *before = nullptr;
    QWidget *widget = nullptr;
    QLineEdit *after = nullptr;
    QPushButton *save = nullptr;
    int saveClicks = 0;

private:
    bool active = false;
};

} // namespace vq::test
