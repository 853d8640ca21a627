#include "UICnfPageVarie.h"
#include "ui_UICnfPageVarie.h"

#include "CnfProgram.h"
#include "UIFileDialog.h"
#include "UIIntValidator.h"
#include "UIMessageBox.h"

#include <QDir>

namespace {

// Days of the backup validity entries, in the order of the form's items.
constexpr int kBackupValidityDays[] = {30, 90, 180, 270, 365, 730};

} // namespace

UICnfPageVarie::UICnfPageVarie(CnfProgram *pCnfProgram, QWidget *pParent)
    : QWidget(pParent), m_pCnfProgram(pCnfProgram), m_pUi(new Ui::UICnfPageVarie), m_bModified(false),
      m_pTimeoutProcessValidator(new UIIntValidator(0, 300, this))
{
    m_pUi->setupUi(this);
    m_pUi->lineEditTimeoutProcess->setValidator(m_pTimeoutProcessValidator);
    int nItem = 0;
    for (const int nDays : kBackupValidityDays)
        m_pUi->cbDbValidityDaysBackup->setItemData(nItem++, nDays);

    const CnfVarie &varie = m_pCnfProgram->varie();
    showDbServerPath(varie.dbServerPath());
    m_pUi->lineEditTimeoutProcess->setText(QString::number(varie.timeoutProcessExecution()));
    const int nIndex = m_pUi->cbDbValidityDaysBackup->findData(varie.backupValidityDays());
    m_pUi->cbDbValidityDaysBackup->setCurrentIndex(nIndex >= 0 ? nIndex : 0);
    m_pUi->checkBoxBackupBeforeUpdate->setChecked(varie.backupBeforeUpdate());

    // Connected only now, so that filling the fields leaves the page unmodified.
    connect(m_pUi->lineEditTimeoutProcess, &QLineEdit::textChanged, this, &UICnfPageVarie::dataModified);
    connect(m_pUi->cbDbValidityDaysBackup,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            &UICnfPageVarie::dataModified);
    connect(m_pUi->checkBoxBackupBeforeUpdate, &QCheckBox::stateChanged, this, &UICnfPageVarie::dataModified);
    connect(m_pUi->pushButtonFolder, &QPushButton::clicked, this, &UICnfPageVarie::pushButtonFolderClicked);
}

UICnfPageVarie::~UICnfPageVarie()
{
    delete m_pUi;
}

bool UICnfPageVarie::isModified() const
{
    return m_bModified;
}

void UICnfPageVarie::dataModified()
{
    m_bModified = true;
}

void UICnfPageVarie::showDbServerPath(const QString &szPath)
{
    m_pUi->lineEditDbServerPath->setText(QDir::toNativeSeparators(szPath));
    // A long path shows its beginning, the drive and the first folders.
    m_pUi->lineEditDbServerPath->setCursorPosition(0);
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
    const QString szTimeout = m_pUi->lineEditTimeoutProcess->text();
    if (!m_pTimeoutProcessValidator->accepts(szTimeout)) {
        UIMessageBox::warning(this, tr("The field Timeout must be correctly filled."));
        m_pUi->lineEditTimeoutProcess->setFocus();
        return false;
    }
    CnfVarie &varie = m_pCnfProgram->varie();
    // Stored as shown, with the platform's separators.
    varie.setDbServerPath(m_pUi->lineEditDbServerPath->text());
    varie.setTimeoutProcessExecution(szTimeout.toInt());
    varie.setBackupValidityDays(m_pUi->cbDbValidityDaysBackup->currentData().toInt());
    varie.setBackupBeforeUpdate(m_pUi->checkBoxBackupBeforeUpdate->isChecked());
    return true;
}
