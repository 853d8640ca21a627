#pragma once

#include <QWidget>

class CnfProgram;
class UIIntValidator;

namespace Ui {
class UICnfPageLogFile;
}

// Page "Log File" of the configuration dialog: size limit of a log file and
// the database and device log switches.
class UICnfPageLogFile : public QWidget
{
    Q_OBJECT

public:
    UICnfPageLogFile(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPageLogFile() override;

    bool isModified() const;
    // False, after a warning and with nothing written, when the file
    // dimension is not acceptable.
    bool applyData();

public slots:
    void dataModified();

private:
    CnfProgram *m_pCnfProgram;
    Ui::UICnfPageLogFile *m_pUi;
    bool m_bModified;
    UIIntValidator *m_pFileDimensionValidator;
};
