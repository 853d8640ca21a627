#pragma once

#include <QWidget>

class CnfProgram;

namespace Ui {
class UICnfPageLanguage;
}

// Page "Language" of the configuration dialog: one entry per translation file
// of the program found in the suite's folder "Language".
class UICnfPageLanguage : public QWidget
{
    Q_OBJECT

public:
    UICnfPageLanguage(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageLanguage() override;

    bool isModified() const;
    // Sets the language to the code of the chosen entry; with no entry at
    // all the configured language is kept.
    bool applyData();

public slots:
    void dataModified();

private:
    void fillLanguages();
    // "<English name>\t- <native name>" of the code's language.
    static QString languageText(const QString &szCode);

    CnfProgram *m_pCnfProgram;
    Ui::UICnfPageLanguage *m_pUi;
    bool m_bModified;
};
