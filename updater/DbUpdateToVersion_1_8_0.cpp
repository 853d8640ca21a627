#include "DbUpdateToVersion_1_8_0.h"

#include "DBManager.h"
#include "LogFileManager.h"
#include "PersonalData.h"
#include "PersonalDataTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

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
    DBManager *pDbManager = DBManager::instance();
    pDbManager->setEncryptionEnabled(false);

    PersonalDataTable table;
    if (!table.open())
        return false;

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

        const qint64 nId = table.idPersonalData();
        PersonalData record;
        record.setIdPersonalData(nId);
        // A record that cannot be read is left as it is; one that cannot be
        // written fails the step, which is then rolled back whole.
        if (record.load()) {
            pDbManager->setEncryptionEnabled(true);
            if (!record.save()) {
                logGeneral(QStringLiteral("Unable to save the encrypted \"PERSONALDATA\" record with ID %1.").arg(nId),
                           LogSevError);
                bResult = false;
            }
        }
        pDbManager->setEncryptionEnabled(false);
    }

    if (bResult)
        logGeneral(QStringLiteral("End encryption of the database data"), LogSevInformation);
    pDbManager->setEncryptionEnabled(true);
    dialog.close();
    return bResult;
}
