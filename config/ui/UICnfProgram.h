#pragma once

#include <QDialog>
#include <QVector>

#include <memory>

class CnfProgram;
class QListWidgetItem;
class UICnfPage;

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
    // Adds the list entry and, at the same index of the stack, its page.
    void addPage(const QString &szIcon, const QString &szText, UICnfPage *pPage);
    void putPagesAfterList();
    bool isModified() const;

    CnfProgram *m_pCnfProgram;
    std::unique_ptr<Ui::UICnfProgram> m_ui;
    // In the order of the list: the page of row i is m_pages[i].
    QVector<UICnfPage *> m_pages;
};
