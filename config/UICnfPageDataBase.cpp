#include "UICnfPageDataBase.h"
#include "ui_UICnfPageDataBase.h"

#include "CnfProgram.h"
#include "DBManager.h"
#include "UIIntValidator.h"
#include "UIMessageBox.h"

#include <QGuiApplication>

UICnfPageDataBase::UICnfPageDataBase(CnfProgram *pCnfProgram, QWidget *pParent)
    : QWidget(pParent), m_pCnfProgram(pCnfProgram), m_pUi(new Ui::UICnfPageDataBase), m_bModified(false),
      m_pPortNumberValidator(new UIIntValidator(1, 65535, this)),
      m_pConnectionTimeoutValidator(new UIIntValidator(0, 300, this))
{
    m_pUi->setupUi(this);
    m_pUi->lineEditPortNumber->setValidator(m_pPortNumberValidator);
    m_pUi->lineEditConnectionTimeout->setValidator(m_pConnectionTimeoutValidator);

    const CnfDataBase &dataBase = m_pCnfProgram->dataBase();
    m_pUi->lineEditServer->setText(dataBase.dataSource());
    m_pUi->lineEditDataBase->setText(dataBase.initialCatalog());
    m_pUi->lineEditPortNumber->setText(QString::number(dataBase.portNumber()));
    m_pUi->lineEditConnectionTimeout->setText(QString::number(dataBase.connectionTimeout()));

    // Connected only now, so that filling the fields leaves the page unmodified.
    connect(m_pUi->lineEditServer, &QLineEdit::textChanged, this, &UICnfPageDataBase::dataModified);
    connect(m_pUi->lineEditDataBase, &QLineEdit::textChanged, this, &UICnfPageDataBase::dataModified);
    connect(m_pUi->lineEditPortNumber, &QLineEdit::textChanged, this, &UICnfPageDataBase::dataModified);
    connect(m_pUi->lineEditConnectionTimeout, &QLineEdit::textChanged, this, &UICnfPageDataBase::dataModified);
    connect(m_pUi->checkBoxDataBase, &QCheckBox::stateChanged, this, &UICnfPageDataBase::checkBoxDataBaseChanged);
    connect(m_pUi->checkBoxPortNumber, &QCheckBox::stateChanged, this, &UICnfPageDataBase::checkBoxPortNumberChanged);
    connect(m_pUi->pbConnectionTest, &QPushButton::clicked, this, &UICnfPageDataBase::connectionTestClicked);
}

UICnfPageDataBase::~UICnfPageDataBase()
{
    delete m_pUi;
}

bool UICnfPageDataBase::isModified() const
{
    return m_bModified;
}

void UICnfPageDataBase::dataModified()
{
    m_bModified = true;
}

bool UICnfPageDataBase::checkFields()
{
    QLineEdit *pFaulty = nullptr;
    QString szWarning;
    if (m_pUi->lineEditServer->text().isEmpty()) {
        pFaulty = m_pUi->lineEditServer;
        szWarning = tr("The field Server must be correctly filled.");
    } else if (m_pUi->lineEditDataBase->text().isEmpty()) {
        pFaulty = m_pUi->lineEditDataBase;
        szWarning = tr("The field Database must be correctly filled.");
    } else if (!m_pPortNumberValidator->accepts(m_pUi->lineEditPortNumber->text())) {
        pFaulty = m_pUi->lineEditPortNumber;
        szWarning = tr("The field Port Number must be correctly filled.");
    } else if (!m_pConnectionTimeoutValidator->accepts(m_pUi->lineEditConnectionTimeout->text())) {
        pFaulty = m_pUi->lineEditConnectionTimeout;
        szWarning = tr("The field Connection Timeout must be correctly filled.");
    } else {
        return true;
    }
    UIMessageBox::warning(this, szWarning);
    // A locked field stays locked; its check box takes the focus instead.
    if (pFaulty == m_pUi->lineEditDataBase && !pFaulty->isEnabled())
        m_pUi->checkBoxDataBase->setFocus();
    else if (pFaulty == m_pUi->lineEditPortNumber && !pFaulty->isEnabled())
        m_pUi->checkBoxPortNumber->setFocus();
    else
        pFaulty->setFocus();
    return false;
}

bool UICnfPageDataBase::applyData()
{
    if (!checkFields())
        return false;
    CnfDataBase &dataBase = m_pCnfProgram->dataBase();
    dataBase.setDataSource(m_pUi->lineEditServer->text());
    dataBase.setInitialCatalog(m_pUi->lineEditDataBase->text());
    dataBase.setPortNumber(m_pUi->lineEditPortNumber->text().toInt());
    dataBase.setConnectionTimeout(m_pUi->lineEditConnectionTimeout->text().toInt());
    return true;
}

// The label's mnemonic leads to the field while it can be edited, and to the
// check box that unlocks it otherwise.
void UICnfPageDataBase::checkBoxDataBaseChanged(int state)
{
    m_pUi->lineEditDataBase->setEnabled(state != 0);
    m_pUi->labelDataBase->setBuddy(state != 0 ? static_cast<QWidget *>(m_pUi->lineEditDataBase)
                                              : m_pUi->checkBoxDataBase);
}

void UICnfPageDataBase::checkBoxPortNumberChanged(int state)
{
    m_pUi->lineEditPortNumber->setEnabled(state != 0);
    m_pUi->labelPortNumber->setBuddy(state != 0 ? static_cast<QWidget *>(m_pUi->lineEditPortNumber)
                                                : m_pUi->checkBoxPortNumber);
}

void UICnfPageDataBase::connectionTestClicked()
{
    // Fields that OK would refuse are not tried: an empty port or database
    // name would reach the client library's defaults and could report success
    // for parameters that cannot be stored.
    if (!checkFields())
        return;
    const CnfDataBase &dataBase = m_pCnfProgram->dataBase();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bConnected =
        DBManager::instance()->testDatabaseConnection(m_pUi->lineEditServer->text(),
                                                      m_pUi->lineEditPortNumber->text().toInt(),
                                                      m_pUi->lineEditDataBase->text(),
                                                      dataBase.userName(),
                                                      dataBase.password(),
                                                      m_pUi->lineEditConnectionTimeout->text().toInt());
    QGuiApplication::restoreOverrideCursor();
    if (bConnected)
        UIMessageBox::information(this, tr("Test successfully executed."));
    else
        UIMessageBox::warning(this, tr("Unable to establish a database connection."));
}
