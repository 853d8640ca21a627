#pragma once

#include "SchemaDriftResult.h"

#include <QDialog>

#include <memory>

namespace Ui {
class UICheckDatabase;
}

// Shows how the schema of the database differs from the schema expected at
// the version it reports (SchemaDrift): what is missing, what has another
// definition, and what the database has beyond it, which is not drift.
class UICheckDatabase : public QDialog
{
    Q_OBJECT

public:
    // Checks the database of the open connection, under the wait cursor.
    explicit UICheckDatabase(QWidget *parent);
    // Shows a result checked before.
    UICheckDatabase(const SchemaDriftResult &result, QWidget *parent);
    ~UICheckDatabase() override;

    const SchemaDriftResult &result() const { return m_result; }

private:
    void showResult();

    std::unique_ptr<Ui::UICheckDatabase> m_ui;
    SchemaDriftResult m_result;
};
