#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class UIForceDbVersion;
}

// Overwrites the version that the database reports by running one of the
// embedded scripts that replace the function "kivVersion"(), without running
// the version steps.
class UIForceDbVersion : public QDialog
{
    Q_OBJECT

public:
    explicit UIForceDbVersion(QWidget *parent);
    ~UIForceDbVersion() override;

public slots:
    // Asks, then runs the chosen version's script on the open connection.
    void accept() override;
    void reject() override;

private:
    std::unique_ptr<Ui::UIForceDbVersion> m_ui;
};
