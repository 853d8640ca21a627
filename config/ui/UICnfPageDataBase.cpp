#include "UICnfPageDataBase.h"
#include "ui_UICnfPageDataBase.h"

#include "CnfProgram.h"
#include "DBManager.h"
#include "UIIntValidator.h"
#include "UIMessageBox.h"

#include <QGuiApplication>

UICnfPageDataBase::UICnfPageDataBase(CnfProgram *pCnfProgram, QWidget *pParent)
    : UICnfPage(pCnfProgram, pParent), m_ui(std::make_unique<Ui::UICnfPageDataBase>()),
      m_pPortNumberValidator(new UIIntValidator(1, 65535, this)),
      m_pConnectionTimeoutValidator(new UIIntValidator(0, 300, this))
{
    m_ui->setupUi(this);
    m_ui->lineEditPortNumber->setValidator(m_pPortNumberValidator);
    m_ui->lineEditConnectionTimeout->setValidator(m_pConnectionTimeoutValidator);

    const CnfDataBase &dataBase = cnfProgram().dataBase();
    m_ui->lineEditServer->setText(dataBase.dataSource());
    m_ui->lineEditDataBase->setText(dataBase.initialCatalog());
    m_ui->lineEditPortNumber->setText(QString::number(dataBase.portNumber()));
    m_ui->lineEditConnectionTimeout->setText(QString::number(dataBase.connectionTimeout()));

    watchFields(
        {m_ui->lineEditServer, m_ui->lineEditDataBase, m_ui->lineEditPortNumber, m_ui->lineEditConnectionTimeout});
    connect(m_ui->checkBoxDataBase, &QCheckBox::stateChanged, this, &UICnfPageDataBase::checkBoxDataBaseChanged);
    connect(m_ui->checkBoxPortNumber, &QCheckBox::stateChanged, this, &UICnfPageDataBase::checkBoxPortNumberChanged);
    connect(m_ui->pbConnectionTest, &QPushButton::clicked, this, &UICnfPageDataBase::connectionTestClicked);
}

UICnfPageDataBase::~UICnfPageDataBase() = default;

bool UICnfPageDataBase::checkFields()
{
    QLineEdit *pFaulty = nullptr;
    QString szWarning;
    if (m_ui->lineEditServer->text().isEmpty()) {
        pFaulty = m_ui->lineEditServer;
        szWarning = tr("The field Server must be correctly filled.");
    } else if (m_ui->lineEditDataBase->text().isEmpty()) {
        pFaulty = m_ui->lineEditDataBase;
        szWarning = tr("The field Database must be correctly filled.");
    } else if (!m_pPortNumberValidator->accepts(m_ui->lineEditPortNumber->text())) {
        pFaulty = m_ui->lineEditPortNumber;
        szWarning = tr("The field Port Number must be correctly filled.");
    } else if (!m_pConnectionTimeoutValidator->accepts(m_ui->lineEditConnectionTimeout->text())) {
        pFaulty = m_ui->lineEditConnectionTimeout;
        szWarning = tr("The field Connection Timeout must be correctly filled.");
    } else {
        return true;
    }
    // A locked field stays locked; its check box takes the focus instead.
    if (pFaulty == m_ui->lineEditDataBase && !pFaulty->isEnabled())
        return refuse(m_ui->checkBoxDataBase, szWarning);
    if (pFaulty == m_ui->lineEditPortNumber && !pFaulty->isEnabled())
        return refuse(m_ui->checkBoxPortNumber, szWarning);
    return refuse(pFaulty, szWarning);
}

bool UICnfPageDataBase::applyData()
{
    if (!checkFields())
        return false;
    CnfDataBase &dataBase = cnfProgram().dataBase();
    dataBase.setDataSource(m_ui->lineEditServer->text());
    dataBase.setInitialCatalog(m_ui->lineEditDataBase->text());
    dataBase.setPortNumber(m_ui->lineEditPortNumber->text().toInt());
    dataBase.setConnectionTimeout(m_ui->lineEditConnectionTimeout->text().toInt());
    return true;
}

// The label's mnemonic leads to the field while it can be edited, and to the
// check box that unlocks it otherwise.
void UICnfPageDataBase::checkBoxDataBaseChanged(int state)
{
    m_ui->lineEditDataBase->setEnabled(state != 0);
    m_ui->labelDataBase->setBuddy(state != 0 ? static_cast<QWidget *>(m_ui->lineEditDataBase) : m_ui->checkBoxDataBase);
}

void UICnfPageDataBase::checkBoxPortNumberChanged(int state)
{
    m_ui->lineEditPortNumber->setEnabled(state != 0);
    m_ui->labelPortNumber->setBuddy(state != 0 ? static_cast<QWidget *>(m_ui->lineEditPortNumber)
                                               : m_ui->checkBoxPortNumber);
}

void UICnfPageDataBase::connectionTestClicked()
{
    // Fields that OK would refuse are not tried: an empty port or database
    // name would reach the client library's defaults and could report success
    // for parameters that cannot be stored.
    if (!checkFields())
        return;
    const CnfDataBase &dataBase = cnfProgram().dataBase();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bConnected =
        DBManager::instance()->testDatabaseConnection(m_ui->lineEditServer->text(),
                                                      m_ui->lineEditPortNumber->text().toInt(),
                                                      m_ui->lineEditDataBase->text(),
                                                      dataBase.userName(),
                                                      dataBase.password(),
                                                      m_ui->lineEditConnectionTimeout->text().toInt());
    QGuiApplication::restoreOverrideCursor();
    if (bConnected)
        UIMessageBox::information(this, tr("Test successfully executed."));
    else
        UIMessageBox::warning(this, tr("Unable to establish a database connection."));
}
