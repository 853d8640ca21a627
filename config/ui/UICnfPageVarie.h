#pragma once

#include "UICnfPage.h"

#include <memory>

class UIIntValidator;

namespace Ui {
class UICnfPageVarie;
}

// Page "Miscellaneous" of the configuration dialog: folder of the PostgreSQL
// client programs, their time-out, the age of backups that cleaning keeps and
// whether the update action makes a backup first.
class UICnfPageVarie : public UICnfPage
{
    Q_OBJECT

public:
    UICnfPageVarie(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageVarie() override;

    bool applyData() override;

public slots:
    void pushButtonFolderClicked();

private:
    void showDbServerPath(const QString &szPath);

    std::unique_ptr<Ui::UICnfPageVarie> m_ui;
    UIIntValidator *m_pTimeoutProcessValidator;
};
