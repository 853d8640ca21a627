#pragma once

#include "Rehearsal.h"

#include <QDialog>

#include <memory>

namespace Ui {
class UIRehearsal;
}

// The result of a rehearsal of the update on a copy of the database: what
// it found, the backup it was made from, one row per step with its duration
// and result, and the schema drift of the copy.
class UIRehearsal : public QDialog
{
    Q_OBJECT

public:
    UIRehearsal(const Rehearsal::Result &result, QWidget *pParent);
    ~UIRehearsal() override;

private:
    std::unique_ptr<Ui::UIRehearsal> m_ui;
};
