#include "UICnfProgram.h"
#include "ui_UICnfProgram.h"

#include "CnfProgram.h"
#include "ProgramLog.h"
#include "UICnfPageDataBase.h"
#include "UICnfPageLanguage.h"
#include "UICnfPageLogFile.h"
#include "UICnfPageVarie.h"
#include "UIMessageBox.h"

#include <QGuiApplication>

#include <algorithm>

UICnfProgram::UICnfProgram(CnfProgram *pCnfProgram, QWidget *pParent)
    : QDialog(pParent), m_pCnfProgram(pCnfProgram), m_ui(std::make_unique<Ui::UICnfProgram>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &UICnfProgram::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UICnfProgram::reject);
    connect(m_ui->listWidgetCategory, &QListWidget::currentItemChanged, this, &UICnfProgram::changePage);

    addPage(QStringLiteral(":/images/data_blue_24.png"), tr("Database"), new UICnfPageDataBase(m_pCnfProgram, this));
    addPage(QStringLiteral(":/images/Language-Transalation_24.png"),
            tr("Language"),
            new UICnfPageLanguage(m_pCnfProgram, this));
    addPage(QStringLiteral(":/images/document_24.png"), tr("Log File"), new UICnfPageLogFile(m_pCnfProgram, this));
    addPage(QStringLiteral(":/images/objects_24.png"), tr("Miscellaneous"), new UICnfPageVarie(m_pCnfProgram, this));

    m_ui->listWidgetCategory->setCurrentRow(0);
    putPagesAfterList();
}

UICnfProgram::~UICnfProgram() = default;

void UICnfProgram::addPage(const QString &szIcon, const QString &szText, UICnfPage *pPage)
{
    auto *pItem = new QListWidgetItem(QIcon(szIcon), szText, m_ui->listWidgetCategory);
    pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    m_ui->stackedWidgetConfig->addWidget(pPage);
    m_pages.append(pPage);
}

void UICnfProgram::putPagesAfterList()
{
    // The pages are made after the form, so their fields follow the button
    // box in the focus chain; and the box hands the focus it is given on to
    // its first button, so Tab went from the list straight to OK. The fields
    // move right behind the list: Tab goes from the list through the page
    // shown to OK and Cancel.
    QWidgetList lstFields;
    for (QWidget *pWidget = nextInFocusChain(); pWidget != this; pWidget = pWidget->nextInFocusChain()) {
        if ((pWidget->focusPolicy() & Qt::TabFocus) && m_ui->stackedWidgetConfig->isAncestorOf(pWidget))
            lstFields.append(pWidget);
    }
    QWidget *pLast = m_ui->listWidgetCategory;
    for (QWidget *pField : qAsConst(lstFields)) {
        setTabOrder(pLast, pField);
        pLast = pField;
    }
}

bool UICnfProgram::isModified() const
{
    return std::any_of(m_pages.cbegin(), m_pages.cend(), [](const UICnfPage *pPage) { return pPage->isModified(); });
}

void UICnfProgram::changePage(QListWidgetItem *currentWidgetItem, QListWidgetItem *previousWidgetItem)
{
    QListWidgetItem *pItem = currentWidgetItem ? currentWidgetItem : previousWidgetItem;
    if (!pItem)
        return;
    QString szTitle = pItem->text();
    szTitle.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    m_ui->labelCategoryTitle->setText(szTitle);
    m_ui->stackedWidgetConfig->setCurrentIndex(m_ui->listWidgetCategory->row(pItem));
}

void UICnfProgram::accept()
{
    if (!isModified()) {
        QDialog::accept();
        return;
    }

    // The pages write into the live configuration. Should a later page refuse
    // its data, what the earlier ones wrote is taken back, so that a dialog
    // cancelled afterwards leaves no half-applied values for a later save.
    const CnfProgram before = *m_pCnfProgram;
    for (int nRow = 0; nRow < m_pages.size(); ++nRow) {
        if (!m_pages.at(nRow)->applyData()) {
            *m_pCnfProgram = before;
            m_ui->listWidgetCategory->setCurrentRow(nRow);
            return;
        }
    }

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bSaved = m_pCnfProgram->save();
    QGuiApplication::restoreOverrideCursor();
    // The values stay in use for this run; the warning before this line in
    // the log names the store that could not be written.
    if (!bSaved) {
        ProgramLog::error(QStringLiteral("Unable to save the configuration."));
        UIMessageBox::warning(this, tr("Unable to save the configuration."));
    }
    QDialog::accept();
}

void UICnfProgram::reject()
{
    if (isModified() &&
        UIMessageBox::question(this, tr("The data has been modified. Continue anyway ?")) == QMessageBox::No)
        return;
    QDialog::reject();
}
