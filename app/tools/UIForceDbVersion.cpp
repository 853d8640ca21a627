#include "UIForceDbVersion.h"

#include "ui_UIForceDbVersion.h"

#include "ProgramLog.h"
#include "SqlScriptRunner.h"
#include "UIMessageBox.h"

#include <QApplication>
#include <QDebug>
#include <QSqlDatabase>

namespace {

void logDatabaseError(const QString &szError)
{
    qDebug().noquote() << szError;
    ProgramLog::error(szError, LogCatDatabase);
}

void restoreCursor()
{
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

} // namespace

UIForceDbVersion::UIForceDbVersion(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::UIForceDbVersion>())
{
    m_ui->setupUi(this);
    m_ui->cbDbVersion->addItem(QStringLiteral("v 1.2"),
                               QStringLiteral(":/SqlScript/v.01.02.00/01-02-999-kivVersion-CreateOrReplace.sql"));
    m_ui->cbDbVersion->addItem(QStringLiteral("v 1.3"),
                               QStringLiteral(":/SqlScript/v.01.03.00/01-03-999-kivVersion-CreateOrReplace.sql"));
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &UIForceDbVersion::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UIForceDbVersion::reject);
}

UIForceDbVersion::~UIForceDbVersion() = default;

void UIForceDbVersion::accept()
{
    if (UIMessageBox::question(
            this,
            tr("Are you sure you want to force the database to version %1 ?").arg(m_ui->cbDbVersion->currentText())) !=
        QMessageBox::Yes) {
        QDialog::reject();
        return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();

    const QString szScript = SqlScriptRunner::readScript(m_ui->cbDbVersion->currentData().toString());
    if (szScript.isEmpty()) {
        QApplication::restoreOverrideCursor();
        UIMessageBox::warning(this, QStringLiteral("Unable to find the version script."));
        QDialog::reject();
        return;
    }

    // The default connection, opened when needed.
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection));
    QSqlError error;
    if (!SqlScriptRunner::run(db, szScript, &error)) {
        const QString szError = SqlScriptRunner::describe(error);
        logDatabaseError(szError);
        UIMessageBox::warning(this, szError);
        restoreCursor();
        QDialog::reject();
        return;
    }
    restoreCursor();
    QDialog::accept();
}

void UIForceDbVersion::reject()
{
    QDialog::reject();
}
