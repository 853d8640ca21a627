#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class UICreateDb;
}

// Creates a new, empty database of the suite on the configured server, loads
// the initial schema into it and makes it the configured database. The field
// shows the configured name read-only until the operator ticks the check box.
class UICreateDb : public QDialog
{
    Q_OBJECT

public:
    explicit UICreateDb(QWidget *parent);
    ~UICreateDb() override;

public slots:
    // Creates the database named in the field; stays open on an empty name or
    // a declined confirmation.
    void accept() override;
    void reject() override;
    void checkBoxDdNameChanged(int state);

private:
    std::unique_ptr<Ui::UICreateDb> m_ui;
};
