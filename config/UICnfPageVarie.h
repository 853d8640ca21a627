#pragma once

#include <QWidget>

class CnfProgram;
class UIIntValidator;

namespace Ui {
class UICnfPageVarie;
}

// Page "Miscellaneous" of the configuration dialog: folder of the PostgreSQL
// client programs, their time-out, the age of backups that cleaning keeps and
// whether the update action makes a backup first.
class UICnfPageVarie : public QWidget
{
    Q_OBJECT

public:
    UICnfPageVarie(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageVarie() override;

    bool isModified() const;
    // False, after a warning and with nothing written, when the time-out is
    // not acceptable.
    bool applyData();

public slots:
    void dataModified();
    void pushButtonFolderClicked();

private:
    void showDbServerPath(const QString &szPath);

    CnfProgram *m_pCnfProgram;
    Ui::UICnfPageVarie *m_pUi;
    bool m_bModified;
    UIIntValidator *m_pTimeoutProcessValidator;
};
