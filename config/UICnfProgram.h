#pragma once

#include <QDialog>

class CnfProgram;
class QListWidgetItem;
class UICnfPageDataBase;
class UICnfPageLanguage;
class UICnfPageLogFile;
class UICnfPageVarie;

namespace Ui {
class UICnfProgram;
}

// The dialog "Program Configuration": a list of categories and one page per
// category, all editing the live configuration of the program, which OK then
// saves.
class UICnfProgram : public QDialog
{
    Q_OBJECT

public:
    UICnfProgram(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfProgram() override;

public slots:
    // Nothing modified: closes without saving. Otherwise applies the pages in
    // order and saves; a page that refuses its data is shown, the dialog stays
    // open and the configuration is left as it was before.
    void accept() override;
    // Asks before modified data is dropped.
    void reject() override;
    void changePage(QListWidgetItem *currentWidgetItem, QListWidgetItem *previousWidgetItem);

private:
    void putPagesAfterList();
    bool isModified() const;

    CnfProgram *m_pCnfProgram;
    Ui::UICnfProgram *m_pUi;
    QListWidgetItem *m_pItemDataBase;
    QListWidgetItem *m_pItemLanguage;
    QListWidgetItem *m_pItemLogFile;
    QListWidgetItem *m_pItemVarie;
    UICnfPageDataBase *m_pPageDataBase;
    UICnfPageLanguage *m_pPageLanguage;
    UICnfPageLogFile *m_pPageLogFile;
    UICnfPageVarie *m_pPageVarie;
};
