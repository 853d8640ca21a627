#include "UICnfPageLogFile.h"
#include "ui_UICnfPageLogFile.h"

#include "CnfProgram.h"
#include "UIIntValidator.h"
#include "UIMessageBox.h"

UICnfPageLogFile::UICnfPageLogFile(CnfProgram *pCnfProgram, QWidget *pParent)
    : QWidget(pParent), m_pCnfProgram(pCnfProgram), m_pUi(new Ui::UICnfPageLogFile), m_bModified(false),
      m_pFileDimensionValidator(new UIIntValidator(1, 9, this))
{
    m_pUi->setupUi(this);
    m_pUi->lineEditFileDimension->setValidator(m_pFileDimensionValidator);

    const CnfLogFile &logFile = m_pCnfProgram->logFile();
    m_pUi->lineEditFileDimension->setText(QString::number(logFile.fileDimension()));
    m_pUi->checkBoxDataBase->setChecked(logFile.databaseEnabled());
    m_pUi->checkBoxDevice->setChecked(logFile.deviceEnabled());

    // Connected only now, so that filling the fields leaves the page unmodified.
    connect(m_pUi->lineEditFileDimension, &QLineEdit::textChanged, this, &UICnfPageLogFile::dataModified);
    connect(m_pUi->checkBoxDataBase, &QCheckBox::stateChanged, this, &UICnfPageLogFile::dataModified);
    connect(m_pUi->checkBoxDevice, &QCheckBox::stateChanged, this, &UICnfPageLogFile::dataModified);
}

UICnfPageLogFile::~UICnfPageLogFile()
{
    delete m_pUi;
}

bool UICnfPageLogFile::isModified() const
{
    return m_bModified;
}

void UICnfPageLogFile::dataModified()
{
    m_bModified = true;
}

bool UICnfPageLogFile::applyData()
{
    const QString szFileDimension = m_pUi->lineEditFileDimension->text();
    if (!m_pFileDimensionValidator->accepts(szFileDimension)) {
        UIMessageBox::warning(this, tr("The field File Dimension must be correctly filled."));
        m_pUi->lineEditFileDimension->setFocus();
        return false;
    }
    CnfLogFile &logFile = m_pCnfProgram->logFile();
    logFile.setFileDimension(szFileDimension.toInt());
    logFile.setDatabaseEnabled(m_pUi->checkBoxDataBase->isChecked());
    logFile.setDeviceEnabled(m_pUi->checkBoxDevice->isChecked());
    return true;
}
