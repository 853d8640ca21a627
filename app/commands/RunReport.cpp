#include "RunReport.h"

#include "Clock.h"
#include "DbUpdater.h"
#include "SchemaDrift.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

const QString RunReport::kFileName = QStringLiteral("KivDataBaseUpdater-last-run.json");

namespace {

// An empty text says nothing: null, so that a reader has one case to test.
QJsonValue textOrNull(const QString &szText)
{
    return szText.isEmpty() ? QJsonValue() : QJsonValue(szText);
}

QString isoTime(const QDateTime &time)
{
    // With the offset from UTC, so that a collector reads the time right.
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs) : QString();
}

QJsonObject sessionObject(const DatabaseSession &session)
{
    return QJsonObject{{QStringLiteral("processId"), session.nProcessId},
                       {QStringLiteral("application"), session.szApplication},
                       {QStringLiteral("address"), session.szAddress},
                       {QStringLiteral("user"), session.szUser}};
}

// A run killed while it wrote its report leaves the temporary file behind:
// the report's name and six more characters. A write takes milliseconds, so
// one older than a minute belongs to no run that still writes.
void removeStaleTemporaryFiles(const QString &szPath)
{
    const QFileInfo report(szPath);
    const QDateTime now = Clock::now();
    const QFileInfoList lstFiles = report.absoluteDir().entryInfoList(
        QStringList{report.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &info : lstFiles)
        if (info.lastModified().secsTo(now) > 60)
            QFile::remove(info.absoluteFilePath());
}

} // namespace

RunReport::RunReport() : m_startedAt(Clock::now()) {}

void RunReport::setServer(const QString &szHost, int nPort)
{
    m_szServer = QStringLiteral("%1:%2").arg(szHost).arg(nPort);
}

void RunReport::setNewestBackup(const QString &szFile,
                                const QDateTime &modified,
                                qint64 nBytes,
                                const QString &szChecksum)
{
    m_newestBackup = QJsonObject{{QStringLiteral("file"), szFile},
                                 {QStringLiteral("bytes"), nBytes},
                                 {QStringLiteral("modifiedAt"), isoTime(modified)},
                                 {QStringLiteral("checksum"), szChecksum}};
}

QList<RunReport::Difference> RunReport::differencesOf(const SchemaDriftResult &drift)
{
    QList<Difference> lstDifferences;
    const auto add = [&lstDifferences](const QList<SchemaDifference> &lstFrom, const QString &szKind) {
        for (const SchemaDifference &difference : lstFrom)
            lstDifferences << Difference{szKind,
                                         QStringLiteral("%1 %2").arg(difference.szKind, difference.szObject),
                                         difference.szExpected,
                                         difference.szFound};
    };
    add(drift.missing(), QStringLiteral("missing"));
    add(drift.changed(), QStringLiteral("changed"));
    add(drift.extra(), QStringLiteral("extra"));
    return lstDifferences;
}

void RunReport::setLockHolder(const DatabaseSession &holder)
{
    m_bLockHolder = true;
    m_lockHolder = holder;
}

void RunReport::addError(const QString &szText)
{
    // Server texts come in several lines (libpq's hint on a line of its own,
    // Qt's driver text on the next): a collector gets each error on one.
    const QString szLine = szText.simplified();
    if (!szLine.isEmpty())
        m_lstErrors << szLine;
}

void RunReport::finish(int nExitCode, bool bSuccess)
{
    m_endedAt = Clock::now();
    m_nExitCode = nExitCode;
    m_bSuccess = bSuccess;
}

QJsonObject RunReport::toJson() const
{
    QJsonArray steps;
    for (const Step &step : m_lstSteps)
        steps.append(
            QJsonObject{{QStringLiteral("version"), step.szVersion},
                        {QStringLiteral("milliseconds"), step.nMilliseconds},
                        {QStringLiteral("result"), step.bOk ? QStringLiteral("ok") : QStringLiteral("failed")}});
    QJsonArray drift;
    for (const Difference &difference : m_lstDrift)
        drift.append(QJsonObject{{QStringLiteral("kind"), difference.szKind},
                                 {QStringLiteral("object"), difference.szObject},
                                 {QStringLiteral("expected"), textOrNull(difference.szExpected)},
                                 {QStringLiteral("found"), textOrNull(difference.szFound)}});
    QJsonArray sessions;
    for (const DatabaseSession &session : m_lstSessions)
        sessions.append(sessionObject(session));

    const QJsonValue backup = m_backup.szFile.isEmpty()
                                  ? QJsonValue()
                                  : QJsonValue(QJsonObject{{QStringLiteral("file"), m_backup.szFile},
                                                           {QStringLiteral("bytes"), m_backup.nBytes},
                                                           {QStringLiteral("sha256"), textOrNull(m_backup.szSha256)}});
    return QJsonObject{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("command"), m_szCommand},
        {QStringLiteral("success"), m_bSuccess},
        {QStringLiteral("exitCode"), m_nExitCode},
        {QStringLiteral("server"), textOrNull(m_szServer)},
        {QStringLiteral("database"), textOrNull(m_szDatabase)},
        {QStringLiteral("serverVersion"), textOrNull(m_szServerVersion)},
        {QStringLiteral("tls"), m_nTls < 0 ? QJsonValue() : QJsonValue(m_nTls == 1)},
        {QStringLiteral("versionBefore"), textOrNull(m_szVersionBefore)},
        {QStringLiteral("versionAfter"), textOrNull(m_szVersionAfter)},
        {QStringLiteral("target"), DbUpdater::targetVersion()},
        {QStringLiteral("pendingSteps"), QJsonArray::fromStringList(m_lstPending)},
        {QStringLiteral("stepsRun"), steps},
        {QStringLiteral("backup"), backup},
        {QStringLiteral("newestBackup"), m_newestBackup.isEmpty() ? QJsonValue() : QJsonValue(m_newestBackup)},
        {QStringLiteral("drift"), drift},
        {QStringLiteral("lockHolder"), m_bLockHolder ? QJsonValue(sessionObject(m_lockHolder)) : QJsonValue()},
        {QStringLiteral("sessions"), sessions},
        {QStringLiteral("details"), m_details},
        {QStringLiteral("errors"), QJsonArray::fromStringList(m_lstErrors)},
        {QStringLiteral("logFile"), textOrNull(m_szLogFile)},
        {QStringLiteral("startedAt"), isoTime(m_startedAt)},
        {QStringLiteral("endedAt"), isoTime(m_endedAt.isValid() ? m_endedAt : Clock::now())},
    };
}

QByteArray RunReport::toJsonText() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact) + '\n';
}

bool RunReport::writeFile(const QString &szPath, QString *pszError) const
{
    removeStaleTemporaryFiles(szPath);
    QSaveFile file(szPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(toJson()).toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit()) {
        if (pszError)
            *pszError = file.errorString();
        return false;
    }
    return true;
}
