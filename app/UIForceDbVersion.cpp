#include "UIForceDbVersion.h"

#include "ui_UIForceDbVersion.h"

#include "LogFileManager.h"
#include "SqlScripts.h"
#include "UIMessageBox.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

void logDatabaseError(const QString &szError)
{
    qDebug().noquote() << szError;
    LogFileManager::Instance()->Log(1, szError, LogCatDatabase, LogSevError);
}

void restoreCursor()
{
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

} // namespace

UIForceDbVersion::UIForceDbVersion(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::UIForceDbVersion>())
{
    initSqlScripts();
    ui->setupUi(this);
    ui->cbDbVersion->addItem(QStringLiteral("v 1.2"),
                             QStringLiteral(":/SqlScript/v.01.02.00/01-02-999-kivVersion-CreateOrReplace.sql"));
    ui->cbDbVersion->addItem(QStringLiteral("v 1.3"),
                             QStringLiteral(":/SqlScript/v.01.03.00/01-03-999-kivVersion-CreateOrReplace.sql"));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &UIForceDbVersion::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &UIForceDbVersion::reject);
}

UIForceDbVersion::~UIForceDbVersion() = default;

void UIForceDbVersion::accept()
{
    if (UIMessageBox::question(
            this,
            tr("Are you sure you want to force the database to version %1 ?").arg(ui->cbDbVersion->currentText())) !=
        QMessageBox::Yes) {
        QDialog::reject();
        return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();

    QFile file(ui->cbDbVersion->currentData().toString());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QApplication::restoreOverrideCursor();
        UIMessageBox::warning(this, QStringLiteral("Unable to find the version script."));
        QDialog::reject();
        return;
    }
    // No codec set: the byte-order mark of the script selects UTF-8.
    QTextStream stream(&file);
    const QString szScript = stream.readAll();

    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection));
    if (!db.isValid()) {
        // Without any connection Qt has no error text to give.
        const QString szError =
            db.lastError().text().isEmpty() ? QStringLiteral("No database connection") : db.lastError().text();
        logDatabaseError(szError);
        UIMessageBox::warning(this, szError);
        restoreCursor();
        QDialog::reject();
        return;
    }

    QSqlQuery query(db);
    bool bResult = query.exec(szScript);
    if (bResult) {
        // exec() reports only the first statement; a later one's error shows
        // once every result has been walked.
        while (query.nextResult()) {
        }
        bResult = query.lastError().type() == QSqlError::NoError;
    }
    if (!bResult) {
        logDatabaseError(query.lastError().text());
        UIMessageBox::warning(this, query.lastError().text());
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
