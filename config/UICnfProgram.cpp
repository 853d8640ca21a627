#include "UICnfProgram.h"
#include "ui_UICnfProgram.h"

#include "CnfProgram.h"
#include "LogFileManager.h"
#include "UICnfPageDataBase.h"
#include "UICnfPageLanguage.h"
#include "UICnfPageLogFile.h"
#include "UICnfPageVarie.h"
#include "UIMessageBox.h"

#include <QGuiApplication>

namespace {

QListWidgetItem *addCategory(QListWidget *pList, const QString &szIcon, const QString &szText)
{
    auto *pItem = new QListWidgetItem(QIcon(szIcon), szText, pList);
    pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return pItem;
}

} // namespace

UICnfProgram::UICnfProgram(CnfProgram *pCnfProgram, QWidget *pParent)
    : QDialog(pParent), m_pCnfProgram(pCnfProgram), m_pUi(new Ui::UICnfProgram)
{
    m_pUi->setupUi(this);
    connect(m_pUi->buttonBox, &QDialogButtonBox::accepted, this, &UICnfProgram::accept);
    connect(m_pUi->buttonBox, &QDialogButtonBox::rejected, this, &UICnfProgram::reject);
    connect(m_pUi->listWidgetCategory, &QListWidget::currentItemChanged, this, &UICnfProgram::changePage);

    // Entry and page share their index in the list and in the stack.
    QListWidget *pList = m_pUi->listWidgetCategory;
    m_pItemDataBase = addCategory(pList, QStringLiteral(":/images/data_blue_24.png"), tr("Database"));
    m_pPageDataBase = new UICnfPageDataBase(m_pCnfProgram, this);
    m_pUi->stackedWidgetConfig->addWidget(m_pPageDataBase);
    m_pItemLanguage = addCategory(pList, QStringLiteral(":/images/Language-Transalation_24.png"), tr("Language"));
    m_pPageLanguage = new UICnfPageLanguage(m_pCnfProgram, this);
    m_pUi->stackedWidgetConfig->addWidget(m_pPageLanguage);
    m_pItemLogFile = addCategory(pList, QStringLiteral(":/images/document_24.png"), tr("Log File"));
    m_pPageLogFile = new UICnfPageLogFile(m_pCnfProgram, this);
    m_pUi->stackedWidgetConfig->addWidget(m_pPageLogFile);
    m_pItemVarie = addCategory(pList, QStringLiteral(":/images/objects_24.png"), tr("Miscellaneous"));
    m_pPageVarie = new UICnfPageVarie(m_pCnfProgram, this);
    m_pUi->stackedWidgetConfig->addWidget(m_pPageVarie);

    pList->setCurrentRow(0);
    putPagesAfterList();
}

UICnfProgram::~UICnfProgram()
{
    delete m_pUi;
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
        if ((pWidget->focusPolicy() & Qt::TabFocus) && m_pUi->stackedWidgetConfig->isAncestorOf(pWidget))
            lstFields.append(pWidget);
    }
    QWidget *pLast = m_pUi->listWidgetCategory;
    for (QWidget *pField : qAsConst(lstFields)) {
        setTabOrder(pLast, pField);
        pLast = pField;
    }
}

bool UICnfProgram::isModified() const
{
    return m_pPageDataBase->isModified() || m_pPageLanguage->isModified() || m_pPageLogFile->isModified() ||
           m_pPageVarie->isModified();
}

void UICnfProgram::changePage(QListWidgetItem *currentWidgetItem, QListWidgetItem *previousWidgetItem)
{
    QListWidgetItem *pItem = currentWidgetItem ? currentWidgetItem : previousWidgetItem;
    if (!pItem)
        return;
    QString szTitle = pItem->text();
    szTitle.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    m_pUi->labelCategoryTitle->setText(szTitle);
    m_pUi->stackedWidgetConfig->setCurrentIndex(m_pUi->listWidgetCategory->row(pItem));
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
    QListWidgetItem *pRefused = nullptr;
    if (!m_pPageDataBase->applyData())
        pRefused = m_pItemDataBase;
    else if (!m_pPageLanguage->applyData())
        pRefused = m_pItemLanguage;
    else if (!m_pPageLogFile->applyData())
        pRefused = m_pItemLogFile;
    else if (!m_pPageVarie->applyData())
        pRefused = m_pItemVarie;
    if (pRefused) {
        *m_pCnfProgram = before;
        m_pUi->listWidgetCategory->setCurrentItem(pRefused);
        return;
    }

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bSaved = m_pCnfProgram->save();
    QGuiApplication::restoreOverrideCursor();
    // The values stay in use for this run; the warning before this line in
    // the log names the store that could not be written.
    if (!bSaved) {
        LogFileManager::Instance()->Log(
            1, QStringLiteral("Unable to save the configuration."), LogCatGeneral, LogSevError);
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
