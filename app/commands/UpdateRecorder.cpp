#include "UpdateRecorder.h"

#include "DbUpdater.h"

UpdateRecorder::UpdateRecorder(DbUpdater *pUpdater, QObject *pParent) : QObject(pParent), m_pUpdater(pUpdater)
{
    // Direct: the driver runs its steps inside one call on this thread.
    connect(pUpdater, &DbUpdater::updateStarted, this, &UpdateRecorder::started, Qt::DirectConnection);
    connect(pUpdater, &DbUpdater::updateStep, this, &UpdateRecorder::stepDone, Qt::DirectConnection);
}

void UpdateRecorder::started()
{
    m_lstSteps.clear();
    m_lstNumSteps.clear();
    m_stepTimer.start();
}

void UpdateRecorder::stepDone(int nNumStep)
{
    // nNumStep is the 1-based place of the step's version in the list.
    const QStringList lstVersions = DbUpdater::knownVersions();
    RunReport::Step step;
    step.szVersion = lstVersions.value(nNumStep - 1);
    step.nMilliseconds = m_stepTimer.restart();
    step.bOk = true;
    m_lstSteps << step;
    m_lstNumSteps << nNumStep;
}

QList<RunReport::Step> UpdateRecorder::steps() const
{
    QList<RunReport::Step> lstSteps = m_lstSteps;
    const int nFailed = m_lstNumSteps.indexOf(m_pUpdater->failedStep());
    if (m_pUpdater->failedStep() > 0 && nFailed >= 0)
        lstSteps[nFailed].bOk = false;
    return lstSteps;
}
