#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// The thirteen command buttons: one design (CommandButton), each kind naming only its captions. All but
// VqPreviousButton and VqNextButton have an Enabled property.

class VqOKButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqOKButton(QWidget *parent = nullptr);
};

class VqCancelButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqCancelButton(QWidget *parent = nullptr);
};

class VqNewButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqNewButton(QWidget *parent = nullptr);
};

class VqSaveButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqSaveButton(QWidget *parent = nullptr);
};

class VqOpenButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqOpenButton(QWidget *parent = nullptr);
};

class VqClearButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqClearButton(QWidget *parent = nullptr);
};

class VqExitButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqExitButton(QWidget *parent = nullptr);
};

class VqFirstButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqFirstButton(QWidget *parent = nullptr);
};

class VqPreviousButton : public vq::CommandButton
{
    Q_OBJECT
public:
    explicit VqPreviousButton(QWidget *parent = nullptr);
};

class VqNextButton : public vq::CommandButton
{
    Q_OBJECT
public:
    explicit VqNextButton(QWidget *parent = nullptr);
};

class VqLastButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqLastButton(QWidget *parent = nullptr);
};

class VqPrintButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqPrintButton(QWidget *parent = nullptr);
};

class VqViewButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT
public:
    explicit VqViewButton(QWidget *parent = nullptr);
};
