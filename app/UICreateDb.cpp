#include "UICreateDb.h"

#include "ui_UICreateDb.h"

#include "AppContext.h"
#include "DbCreator.h"
#include "LogFileManager.h"
#include "UIMessageBox.h"

#include <QApplication>

UICreateDb::UICreateDb(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::UICreateDb>())
{
    ui->setupUi(this);
    ui->lineEditDbName->setText(AppContext::instance().cnfProgram().dataBase().initialCatalog());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &UICreateDb::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &UICreateDb::reject);
    connect(ui->checkBoxDbName, &QCheckBox::stateChanged, this, &UICreateDb::checkBoxDdNameChanged);
}

UICreateDb::~UICreateDb() = default;

void UICreateDb::accept()
{
    const QString szName = ui->lineEditDbName->text().trimmed();
    if (szName.isEmpty()) {
        UIMessageBox::warning(this, tr("You must insert the database name correctly."));
        return;
    }
    if (UIMessageBox::question(this, tr("Are you sure you want to create a new database with name %1 ?").arg(szName)) !=
        QMessageBox::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    CnfProgram &program = AppContext::instance().cnfProgram();
    const bool bCreated = createNewDatabase(program.dataBase().dataSource(), szName, program.dataBase().portNumber());
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();

    LogFileManager *pLog = LogFileManager::Instance();
    if (bCreated) {
        program.dataBase().setInitialCatalog(szName);
        program.save();
        pLog->Log(1,
                  QStringLiteral("The database %1 was created with success.").arg(szName),
                  LogCatDatabase,
                  LogSevInformation);
        UIMessageBox::information(this, tr("The database %1 was created with success.").arg(szName));
        QDialog::accept();
        return;
    }
    pLog->Log(1, QStringLiteral("Unable to create the database %1.").arg(szName), LogCatDatabase, LogSevError);
    UIMessageBox::critical(this, tr("Unable to create the database %1.").arg(szName));
    QDialog::reject();
}

void UICreateDb::reject()
{
    QDialog::reject();
}

// The label's mnemonic leads to the field while it can be edited, and to the
// check box that unlocks it otherwise.
void UICreateDb::checkBoxDdNameChanged(int state)
{
    ui->lineEditDbName->setEnabled(state != 0);
    ui->labelDbName->setBuddy(state != 0 ? static_cast<QWidget *>(ui->lineEditDbName) : ui->checkBoxDbName);
}
