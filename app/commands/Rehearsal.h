#pragma once

#include "RunReport.h"
#include "Sentence.h"

#include <QList>
#include <QObject>
#include <QString>

class BackupService;

// A rehearsal of the update on a copy of the clinic's database: the newest
// verified backup (or a fresh one) is restored into a scratch database, the
// pending steps run there with the update engine, each step's duration and
// result and the schema drift of the copy are kept, and the copy is dropped
// on every way out. The clinic's database is only read (by the fresh
// backup).
class Rehearsal : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        // The copy was made and every pending step succeeded on it.
        bool bOk = false;
        // For the operator: success, or what went wrong.
        Sentence message;
        QString szBackup;
        QString szVersionBefore;
        QString szVersionAfter;
        QList<RunReport::Step> lstSteps;
        QList<RunReport::Difference> lstDrift;
    };

    explicit Rehearsal(BackupService *pService, QObject *pParent = nullptr);

    // bFresh: make a new backup first instead of taking the newest verified
    // one of the backup folder.
    Result run(bool bFresh);

private:
    BackupService *m_pService;
};
