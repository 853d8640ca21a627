#include "PsqlSession.h"

#include "AppTestEnvironment.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

namespace {

constexpr int kConnectWaitMs = 20000;
constexpr int kStopWaitMs = 10000;
const QString kProbeConnection = QStringLiteral("psqlsession-probe");

// A value of a libpq connection string.
QString connectValue(QString szValue)
{
    szValue.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    szValue.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + szValue + QLatin1Char('\'');
}

} // namespace

PsqlSession::PsqlSession()
{
    m_process.setWorkingDirectory(QStringLiteral("/"));
}

PsqlSession::~PsqlSession()
{
    stop();
}

bool PsqlSession::superuserAvailable()
{
    return !qEnvironmentVariableIsEmpty("KIV_TEST_PGSUPERUSER") && !qEnvironmentVariableIsEmpty("KIV_TEST_PGSOCKETDIR");
}

QString PsqlSession::superuserName()
{
    return qEnvironmentVariable("KIV_TEST_PGSUPERUSER");
}

bool PsqlSession::start(Role eRole, const QString &szDatabase, const QString &szApplication)
{
    stop();
    const bool bSuperuser = eRole == Role::Superuser;
    const QString szConnection =
        QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 application_name=%5 sslmode=disable")
            .arg(connectValue(bSuperuser ? qEnvironmentVariable("KIV_TEST_PGSOCKETDIR") : TestDatabase::host()))
            .arg(TestDatabase::port())
            .arg(connectValue(szDatabase),
                 connectValue(bSuperuser ? superuserName() : TestDatabase::user()),
                 connectValue(szApplication));
    const QString szPsql = AppTestEnvironment::clientFolder() + QStringLiteral("/psql");
    QStringList lstArguments{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-d"), szConnection};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), TestDatabase::password());
    m_process.setProcessEnvironment(environment);
    // The superuser logs in by the server's peer authentication: as root the
    // session is opened as that system user.
    if (bSuperuser && ::geteuid() == 0)
        m_process.start(QStringLiteral("runuser"),
                        QStringList{QStringLiteral("-u"), superuserName(), QStringLiteral("--"), szPsql} +
                            lstArguments);
    else
        m_process.start(szPsql, lstArguments);
    // psql reads its commands from the pipe: the session stays until the
    // pipe is closed.
    if (!m_process.waitForStarted(kConnectWaitMs)) {
        m_szError = m_process.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kConnectWaitMs) {
        if (sessionCount(szDatabase, szApplication, &m_nProcessId) > 0)
            return true;
        // psql ends at once when it cannot connect.
        if (m_process.waitForFinished(50))
            break;
    }
    stop();
    m_szError = QStringLiteral("no session of %1 on %2: %3")
                    .arg(szApplication, szDatabase, QString::fromLocal8Bit(m_process.readAllStandardError()));
    return false;
}

int PsqlSession::processId() const
{
    return m_nProcessId;
}

void PsqlSession::stop()
{
    m_nProcessId = 0;
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(kStopWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(kStopWaitMs);
    }
}

bool PsqlSession::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QString PsqlSession::errorText() const
{
    return m_szError;
}

int PsqlSession::sessionCount(const QString &szDatabase, const QString &szApplication, int *pnProcessId)
{
    int nCount = -1;
    {
        QSqlDatabase db = QSqlDatabase::contains(kProbeConnection)
                              ? QSqlDatabase::database(kProbeConnection, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kProbeConnection);
        db.setHostName(TestDatabase::host());
        db.setPort(TestDatabase::port());
        db.setDatabaseName(QStringLiteral("postgres"));
        db.setUserName(TestDatabase::user());
        db.setPassword(TestDatabase::password());
        db.setConnectOptions(QStringLiteral("sslmode=disable"));
        if (db.isOpen() || db.open()) {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("SELECT count(*), coalesce(min(pid), 0) FROM pg_stat_activity "
                                         "WHERE datname = ? AND application_name = ?"));
            query.addBindValue(szDatabase);
            query.addBindValue(szApplication);
            if (query.exec() && query.next()) {
                nCount = query.value(0).toInt();
                if (pnProcessId)
                    *pnProcessId = query.value(1).toInt();
            }
        }
    }
    return nCount;
}
