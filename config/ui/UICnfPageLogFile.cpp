#include "UICnfPageLogFile.h"
#include "ui_UICnfPageLogFile.h"

#include "CnfProgram.h"
#include "UIIntValidator.h"

UICnfPageLogFile::UICnfPageLogFile(CnfProgram *pCnfProgram, QWidget *pParent)
    : UICnfPage(pCnfProgram, pParent), m_ui(std::make_unique<Ui::UICnfPageLogFile>()),
      m_pFileDimensionValidator(new UIIntValidator(1, 9, this))
{
    m_ui->setupUi(this);
    m_ui->lineEditFileDimension->setValidator(m_pFileDimensionValidator);

    const CnfLogFile &logFile = cnfProgram().logFile();
    m_ui->lineEditFileDimension->setText(QString::number(logFile.fileDimension()));
    m_ui->checkBoxDataBase->setChecked(logFile.databaseEnabled());
    m_ui->checkBoxDevice->setChecked(logFile.deviceEnabled());

    watchFields({m_ui->lineEditFileDimension, m_ui->checkBoxDataBase, m_ui->checkBoxDevice});
}

UICnfPageLogFile::~UICnfPageLogFile() = default;

bool UICnfPageLogFile::applyData()
{
    const QString szFileDimension = m_ui->lineEditFileDimension->text();
    if (!m_pFileDimensionValidator->accepts(szFileDimension))
        return refuse(m_ui->lineEditFileDimension, tr("The field File Dimension must be correctly filled."));
    CnfLogFile &logFile = cnfProgram().logFile();
    logFile.setFileDimension(szFileDimension.toInt());
    logFile.setDatabaseEnabled(m_ui->checkBoxDataBase->isChecked());
    logFile.setDeviceEnabled(m_ui->checkBoxDevice->isChecked());
    return true;
}
