#pragma once

#include <QMainWindow>

class VqTextBox;

// A small data-entry form built from the library's controls, with a note beside each field saying what
// the field does and a status line that shows what the controls report.
class DemoWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DemoWindow(QWidget *parent = nullptr);
    ~DemoWindow() override;

    VqTextBox *field(const QString &name) const;

private:
    VqTextBox *addField(const QString &name, const QString &label, const QString &note);
    void reportLeft(QWidget *old);

    class QGridLayout *m_grid = nullptr;
    int m_row = 0;
};
