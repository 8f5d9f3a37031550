#pragma once

#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "support/Forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A shown, active form laid out as a form designer places controls: a field, the control under test, and a
// field after it, in that tab order. Unlike vq::test::Form it has no layout manager, so a control may change
// its own size (the portable list grows when it opens).
template<class C>
struct ListForm
{
    explicit ListForm(const char *className)
        : form(std::make_unique<QWidget>())
    {
        form->resize(400, 400);
        before = new QLineEdit(form.get());
        before->setObjectName(QStringLiteral("before"));
        before->setGeometry(10, 10, 200, 24);
        control = qobject_cast<C *>(vq::CreateControl(QString::fromLatin1(className), form.get()));
        control->InitProperties();
        control->move(10, 50);
        after = new QLineEdit(form.get());
        after->setObjectName(QStringLiteral("after"));
        after->setGeometry(10, 360, 200, 24);
        activated = vq::test::showActive(form.get());
    }

    std::unique_ptr<QWidget> form;
    QLineEdit *before = nullptr;
    C *control = nullptr;
    QLineEdit *after = nullptr;
    bool activated = false;
};
