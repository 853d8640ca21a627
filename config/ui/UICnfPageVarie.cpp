#include "UICnfPageVarie.h"
#include "ui_UICnfPageVarie.h"

#include "CnfProgram.h"
#include "UIFileDialog.h"
#include "UIIntValidator.h"

#include <QDir>

namespace {

// Days of the backup validity entries, in the order of the form's items.
constexpr int kBackupValidityDays[] = {30, 90, 180, 270, 365, 730};

} // namespace

UICnfPageVarie::UICnfPageVarie(CnfProgram *pCnfProgram, QWidget *pParent)
    : UICnfPage(pCnfProgram, pParent), m_ui(std::make_unique<Ui::UICnfPageVarie>()),
      m_pTimeoutProcessValidator(new UIIntValidator(0, 300, this))
{
    m_ui->setupUi(this);
    m_ui->lineEditTimeoutProcess->setValidator(m_pTimeoutProcessValidator);
    int nItem = 0;
    for (const int nDays : kBackupValidityDays)
        m_ui->cbDbValidityDaysBackup->setItemData(nItem++, nDays);

    const CnfVarie &varie = cnfProgram().varie();
    showDbServerPath(varie.dbServerPath());
    m_ui->lineEditTimeoutProcess->setText(QString::number(varie.timeoutProcessExecution()));
    const int nIndex = m_ui->cbDbValidityDaysBackup->findData(varie.backupValidityDays());
    m_ui->cbDbValidityDaysBackup->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
    m_ui->checkBoxBackupBeforeUpdate->setChecked(varie.backupBeforeUpdate());

    watchFields({m_ui->lineEditTimeoutProcess, m_ui->cbDbValidityDaysBackup, m_ui->checkBoxBackupBeforeUpdate});
    connect(m_ui->pushButtonFolder, &QPushButton::clicked, this, &UICnfPageVarie::pushButtonFolderClicked);
}

UICnfPageVarie::~UICnfPageVarie() = default;

void UICnfPageVarie::showDbServerPath(const QString &szPath)
{
    m_ui->lineEditDbServerPath->setText(QDir::toNativeSeparators(szPath));
    // A long path shows its beginning, the drive and the first folders.
    m_ui->lineEditDbServerPath->setCursorPosition(0);
}

void UICnfPageVarie::pushButtonFolderClicked()
{
    const QString szFolder =
        UIFileDialog::getExistingDirectory(this,
                                           tr("Select Directory"),
                                           QDir::currentPath(),
                                           QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (szFolder.isEmpty())
        return;
    showDbServerPath(szFolder);
    dataModified();
}

bool UICnfPageVarie::applyData()
{
    const QString szTimeout = m_ui->lineEditTimeoutProcess->text();
    if (!m_pTimeoutProcessValidator->accepts(szTimeout))
        return refuse(m_ui->lineEditTimeoutProcess, tr("The field Timeout must be correctly filled."));
    CnfVarie &varie = cnfProgram().varie();
    // Stored as shown, with the platform's separators.
    varie.setDbServerPath(m_ui->lineEditDbServerPath->text());
    varie.setTimeoutProcessExecution(szTimeout.toInt());
    varie.setBackupValidityDays(m_ui->cbDbValidityDaysBackup->currentData().toInt());
    varie.setBackupBeforeUpdate(m_ui->checkBoxBackupBeforeUpdate->isChecked());
    return true;
}
