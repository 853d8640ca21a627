#include "DbUpdateToVersion_1_8_0.h"

#include "DBManager.h"
#include "DbUpdateSession.h"
#include "LogFileManager.h"
#include "PersonalData.h"
#include "PersonalDataTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QScopeGuard>

namespace {

// Pending events are processed at most this often during the pass (and on
// the last record): often enough for a window that stays painted and
// responsive, while one round per record would cost more than the record.
constexpr qint64 kEventsIntervalMs = 20;

void logGeneral(const QString &szText, int nSeverity)
{
    LogFileManager::Instance()->Log(1, szText, LogCatGeneral, nSeverity);
}

} // namespace

DbUpdateToVersion_1_8_0::~DbUpdateToVersion_1_8_0() = default;

bool DbUpdateToVersion_1_8_0::update()
{
    const QString szFolder = QStringLiteral("v.01.08.00");
    QStringList lstScripts;
    lstScripts << scriptPath(szFolder, QStringLiteral("01-08-001-encryption-CreateExtension.sql"))
               << scriptPath(szFolder, QStringLiteral("01-08-999-kivVersion-CreateOrReplace.sql"));
    if (!executeScripts(lstScripts))
        return false;
    return encryptPersonalData(nullptr);
}

bool DbUpdateToVersion_1_8_0::encryptPersonalData(QWidget *pParent)
{
    DbUpdateSession *pSession = DbUpdateSession::instance();
    // The pass is saved whole or not at all, and its table lock lasts until
    // it ends: outside a step it runs in a transaction of its own.
    if (!pSession->isInTransaction())
        return runInTransaction([this, pParent] { return encryptPersonalData(pParent); });

    // Writers elsewhere wait until the step ends, readers go on. Taken before
    // the table is read, so that the pass never writes back a value that
    // another session changed after the pass read it.
    if (!executeQuery(QStringLiteral("LOCK TABLE \"PERSONALDATA\" IN EXCLUSIVE MODE")))
        return false;

    DBManager *pDbManager = DBManager::instance();
    const bool bWasEnabled = pDbManager->encryptionEnabled();
    // The switch also decides whether the next connection uses TLS: it is
    // back as it was on every way out of the pass.
    const auto restoreSwitch =
        qScopeGuard([pDbManager, bWasEnabled] { pDbManager->setEncryptionEnabled(bWasEnabled); });
    pDbManager->setEncryptionEnabled(false);

    PersonalDataTable table;
    // The server's text of a failed statement of the library; a failure
    // without one (no such table, no such row) is told by the line after.
    const auto reportLibraryFailure = [pSession, pDbManager] {
        const QString szCause = pDbManager->sessionErrorText();
        if (pSession->isIntact() && !szCause.isEmpty())
            pSession->reportFailure(szCause, QString(), QStringLiteral("\"PERSONALDATA\""));
    };
    if (!table.open()) {
        reportLibraryFailure();
        logGeneral(QStringLiteral("Unable to read the \"PERSONALDATA\" table."), LogSevError);
        return false;
    }

    QProgressDialog dialog(pParent);
    dialog.setCancelButton(nullptr);
    dialog.setLabelText(QCoreApplication::translate("Database update", "Encrypting data"));
    dialog.setMinimumDuration(0);
    // The dialog shows the last record's number until it is closed, instead
    // of hiding itself and dropping its value when that number is reached.
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    const int nTotal = table.affectedRows();
    dialog.setRange(0, nTotal);
    dialog.setValue(0);
    dialog.show();
    QCoreApplication::processEvents();
    QElapsedTimer eventsTimer;
    eventsTimer.start();

    logGeneral(QStringLiteral("Start encryption of the database data"), LogSevInformation);
    logGeneral(QStringLiteral("Encryping \"PERSONALDATA\" table"), LogSevInformation);

    bool bResult = true;
    int nCount = 0;
    while (bResult && table.load()) {
        ++nCount;
        dialog.setValue(nCount);
        if (nCount >= nTotal || eventsTimer.elapsed() >= kEventsIntervalMs) {
            QCoreApplication::processEvents();
            eventsTimer.restart();
        }
        // Whatever ran while events were processed, the records are read and
        // written on the step's session only.
        if (!pSession->isIntact()) {
            bResult = false;
            break;
        }

        const qint64 nId = table.idPersonalData();
        PersonalData record;
        record.setIdPersonalData(nId);
        // A record that is not there to be read is left as it is; a read that
        // the server refused (which aborts the step's transaction) or a record
        // that cannot be written fails the step, which is then rolled back
        // whole.
        if (!record.load()) {
            if (!pDbManager->sessionErrorText().isEmpty() || !pSession->isIntact()) {
                reportLibraryFailure();
                logGeneral(QStringLiteral("Unable to read the \"PERSONALDATA\" record with ID %1.").arg(nId),
                           LogSevError);
                bResult = false;
            }
        } else {
            pDbManager->setEncryptionEnabled(true);
            if (!record.save()) {
                reportLibraryFailure();
                logGeneral(QStringLiteral("Unable to save the encrypted \"PERSONALDATA\" record with ID %1.").arg(nId),
                           LogSevError);
                bResult = false;
            }
        }
        pDbManager->setEncryptionEnabled(false);
    }

    // A session lost at the last record shows only now.
    if (bResult && !pSession->isIntact())
        bResult = false;
    if (bResult)
        logGeneral(QStringLiteral("End encryption of the database data"), LogSevInformation);
    dialog.close();
    return bResult;
}
