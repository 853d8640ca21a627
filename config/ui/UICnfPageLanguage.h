#pragma once

#include "UICnfPage.h"

#include <memory>

namespace Ui {
class UICnfPageLanguage;
}

// Page "Language" of the configuration dialog: one entry per translation file
// of the program found in the suite's folder "Language".
class UICnfPageLanguage : public UICnfPage
{
    Q_OBJECT

public:
    UICnfPageLanguage(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageLanguage() override;

    // Sets the language to the code of the chosen entry; with no entry at
    // all the configured language is kept.
    bool applyData() override;

private:
    void fillLanguages();
    // "<English name>\t- <native name>" of the code's language.
    static QString languageText(const QString &szCode);

    std::unique_ptr<Ui::UICnfPageLanguage> m_ui;
};
