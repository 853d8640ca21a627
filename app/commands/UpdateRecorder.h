#pragma once

#include "RunReport.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

class DbUpdater;

// Follows one run of the update driver by its signals and keeps, for the run
// report, each step it ran with its duration and result.
class UpdateRecorder : public QObject
{
    Q_OBJECT

public:
    explicit UpdateRecorder(DbUpdater *pUpdater, QObject *pParent = nullptr);

    // The steps of the last run, oldest first, the failed one marked.
    QList<RunReport::Step> steps() const;

private:
    void started();
    void stepDone(int nNumStep);

    DbUpdater *m_pUpdater;
    QList<RunReport::Step> m_lstSteps;
    QList<int> m_lstNumSteps;
    QElapsedTimer m_stepTimer;
};
