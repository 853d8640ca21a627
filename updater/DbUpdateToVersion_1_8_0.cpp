#include "DbUpdateToVersion_1_8_0.h"

#include "DBManager.h"
#include "DbUpdateSession.h"
#include "PersonalData.h"
#include "PersonalDataBatch.h"
#include "PersonalDataTable.h"
#include "ProgramLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QScopeGuard>

namespace {

// Pending events are processed at most this often during the pass (and on
// the last record): often enough for a window that stays painted and
// responsive, while one round per record would cost more than the record.
constexpr qint64 kEventsIntervalMs = PersonalDataBatch::kRoundMs;

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
        ProgramLog::error(QStringLiteral("Unable to read the \"PERSONALDATA\" table."));
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

    ProgramLog::info(QStringLiteral("Start encryption of the database data"));
    ProgramLog::info(QStringLiteral("Encryping \"PERSONALDATA\" table"));
    // Logged however the pass ends, once it has started.
    const auto logEnd = qScopeGuard([] { ProgramLog::info(QStringLiteral("End encryption of the database data")); });

    // The saves go out in rounds without waiting for each answer; between
    // rounds every answer is in, the connection is free again and pending
    // events are processed. A round lasts about kEventsIntervalMs.
    PersonalDataBatch batch;
    const auto finishRound = [&batch, pSession]() {
        if (!batch.flush()) {
            // The server's cause, or the loss of the connection (told by the
            // session, once, with the server's text that came with it).
            pSession->reportFailure(batch.lastError(), QString(), QStringLiteral("\"PERSONALDATA\""));
            if (pSession->isIntact()) {
                if (batch.failedId() != 0)
                    ProgramLog::error(QStringLiteral("Unable to save the encrypted \"PERSONALDATA\" record with ID %1.")
                                          .arg(batch.failedId()));
                else
                    ProgramLog::error(QStringLiteral("Unable to save the encrypted \"PERSONALDATA\" records."));
            }
            return false;
        }
        for (const qint64 nId : batch.takeMissingIds())
            ProgramLog::warning(
                QStringLiteral("The \"PERSONALDATA\" record with ID %1 was removed by another workstation "
                               "during the encryption: skipped.")
                    .arg(nId));
        return true;
    };

    bool bResult = true;
    int nCount = 0;
    while (bResult && table.load()) {
        ++nCount;
        dialog.setValue(nCount);

        const qint64 nId = table.idPersonalData();
        PersonalData record;
        record.setIdPersonalData(nId);
        // The record comes, as stored (the switch is off), from the rows the
        // table read. A record that is not there to be read is left as it is;
        // a read that the server refused fails the step.
        if (!record.load()) {
            if (pDbManager->sessionErrorText().isEmpty() && pSession->isIntact())
                continue;
            reportLibraryFailure();
            ProgramLog::error(QStringLiteral("Unable to read the \"PERSONALDATA\" record with ID %1.").arg(nId));
            bResult = false;
            break;
        }
        switch (batch.add(record)) {
        case PersonalDataBatch::Queued:
        case PersonalDataBatch::Unchanged:
            break;
        case PersonalDataBatch::NoDataKey:
            ProgramLog::error(
                QStringLiteral("The data key for the personal data is missing from the credentials store, so "
                               "the \"PERSONALDATA\" records cannot be encrypted: provision it with "
                               "VesperSetup (see the README, \"Storing the database credentials\") and run "
                               "the update again."));
            bResult = false;
            break;
        case PersonalDataBatch::Failed:
            if (pSession->isIntact())
                ProgramLog::error(QStringLiteral("Unable to encrypt the \"PERSONALDATA\" record with ID %1: %2")
                                      .arg(nId)
                                      .arg(pSession->failureText(batch.lastError())));
            bResult = false;
            break;
        }
        if (!bResult)
            break;

        if (batch.isFull() || nCount >= nTotal || eventsTimer.elapsed() >= kEventsIntervalMs) {
            bResult = finishRound();
            if (!bResult)
                break;
            QCoreApplication::processEvents();
            eventsTimer.restart();
            // Whatever ran while events were processed, the records are read
            // and written on the step's session only.
            if (!pSession->isIntact())
                bResult = false;
        }
    }
    // Rows the table had beyond its count at opening.
    if (bResult)
        bResult = finishRound();

    // A session lost at the last record shows only now.
    if (bResult && !pSession->isIntact())
        bResult = false;
    dialog.close();
    return bResult;
}
