#pragma once

#include "frame/PropertyPage.h"

class QLineEdit;
class QPlainTextEdit;

namespace vq {

// The General page layout of the list controls: inside a captionless frame (Frame1), the data source file
// field (txtDSNName, with its label and an example path) and the multi-line query field (txtQuery), in that
// tab order. The page itself loads and applies nothing; pages with behaviour derive from it.
class DataSourcePage : public PropertyPage
{
    Q_OBJECT

public:
    explicit DataSourcePage(QWidget *parent = nullptr);

protected:
    QLineEdit *dsnNameField() const { return m_dsnName; }
    QPlainTextEdit *queryField() const { return m_query; }

private:
    QLineEdit *m_dsnName = nullptr;
    QPlainTextEdit *m_query = nullptr;
};

} // namespace vq
