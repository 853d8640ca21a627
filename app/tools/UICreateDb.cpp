#include "UICreateDb.h"

#include "ui_UICreateDb.h"

#include "AppContext.h"
#include "DbCreator.h"
#include "ProgramLog.h"
#include "Sentence.h"
#include "UIMessageBox.h"

#include <QApplication>

UICreateDb::UICreateDb(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::UICreateDb>())
{
    m_ui->setupUi(this);
    m_ui->lineEditDbName->setText(AppContext::instance().cnfProgram().dataBase().initialCatalog());
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &UICreateDb::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UICreateDb::reject);
    connect(m_ui->checkBoxDbName, &QCheckBox::stateChanged, this, &UICreateDb::checkBoxDdNameChanged);
}

UICreateDb::~UICreateDb() = default;

void UICreateDb::accept()
{
    const QString szName = m_ui->lineEditDbName->text().trimmed();
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

    if (bCreated) {
        program.dataBase().setInitialCatalog(szName);
        if (!program.save())
            ProgramLog::error(QStringLiteral("Unable to save the configuration."));
        UIMessageBox::report(
            this,
            LogSevInformation,
            Sentence("UICreateDb", QT_TRANSLATE_NOOP("UICreateDb", "The database %1 was created with success."))
                .arg(szName),
            true,
            LogCatDatabase);
        QDialog::accept();
        return;
    }
    const Sentence failed =
        Sentence("UICreateDb", QT_TRANSLATE_NOOP("UICreateDb", "Unable to create the database %1.")).arg(szName);
    ProgramLog::error(failed.english(), LogCatDatabase);
    UIMessageBox::critical(this, failed.translated());
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
    m_ui->lineEditDbName->setEnabled(state != 0);
    m_ui->labelDbName->setBuddy(state != 0 ? static_cast<QWidget *>(m_ui->lineEditDbName) : m_ui->checkBoxDbName);
}
