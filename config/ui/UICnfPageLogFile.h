#pragma once

#include "UICnfPage.h"

#include <memory>

class UIIntValidator;

namespace Ui {
class UICnfPageLogFile;
}

// Page "Log File" of the configuration dialog: size limit of a log file and
// the database and device log switches.
class UICnfPageLogFile : public UICnfPage
{
    Q_OBJECT

public:
    UICnfPageLogFile(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageLogFile() override;

    bool applyData() override;

private:
    std::unique_ptr<Ui::UICnfPageLogFile> m_ui;
    UIIntValidator *m_pFileDimensionValidator;
};
