#include "UIRehearsal.h"

#include "ui_UIRehearsal.h"

#include <QDir>
#include <QPushButton>

UIRehearsal::UIRehearsal(const Rehearsal::Result &result, QWidget *pParent)
    : QDialog(pParent), m_ui(std::make_unique<Ui::UIRehearsal>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UIRehearsal::reject);
    connect(m_ui->buttonBox->button(QDialogButtonBox::Close), &QPushButton::clicked, this, &UIRehearsal::reject);

    m_ui->labelResult->setText(result.message.translated());
    m_ui->labelBackup->setText(result.szBackup.isEmpty()
                                   ? QString()
                                   : tr("Copy made from the backup %1").arg(QDir::toNativeSeparators(result.szBackup)));
    m_ui->tableWidgetSteps->setRowCount(result.lstSteps.size());
    for (int nRow = 0; nRow < result.lstSteps.size(); ++nRow) {
        const RunReport::Step &step = result.lstSteps.at(nRow);
        m_ui->tableWidgetSteps->setItem(nRow, 0, new QTableWidgetItem(step.szVersion));
        auto *pDuration = new QTableWidgetItem(tr("%1 ms").arg(step.nMilliseconds));
        pDuration->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_ui->tableWidgetSteps->setItem(nRow, 1, pDuration);
        m_ui->tableWidgetSteps->setItem(nRow, 2, new QTableWidgetItem(step.bOk ? tr("Succeeded") : tr("Failed")));
    }
    m_ui->tableWidgetSteps->resizeColumnsToContents();

    int nDrift = 0;
    int nExtra = 0;
    for (const RunReport::Difference &difference : result.lstDrift)
        difference.szKind == QLatin1String("extra") ? ++nExtra : ++nDrift;
    m_ui->labelDrift->setText(nDrift == 0 ? tr("The schema of the copy matches its version.")
                                          : tr("The schema of the copy differs from its version (differences: "
                                               "%1). Tools > Check Database lists them.")
                                                .arg(nDrift));
}

UIRehearsal::~UIRehearsal() = default;
