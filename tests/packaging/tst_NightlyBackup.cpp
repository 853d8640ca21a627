#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>

namespace {

const QString kService = QStringLiteral("kivdatabaseupdater-backup.service");
const QString kTimer = QStringLiteral("kivdatabaseupdater-backup.timer");
const QString kTaskNamespace = QStringLiteral("http://schemas.microsoft.com/windows/2004/02/mit/task");

QString unitPath(const QString &szUnit)
{
    return QStringLiteral(KIV_UNIT_BUILD_DIR "/") + szUnit;
}

QByteArray readAll(const QString &szPath)
{
    QFile file(szPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The values of one key of one section of a unit file, in their order.
QStringList unitValues(const QByteArray &text, const QString &szSection, const QString &szKey)
{
    QStringList lstValues;
    QString szCurrent;
    for (const QString &szRawLine : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        const QString szLine = szRawLine.trimmed();
        if (szLine.isEmpty() || szLine.startsWith(QLatin1Char('#')) || szLine.startsWith(QLatin1Char(';')))
            continue;
        if (szLine.startsWith(QLatin1Char('[')) && szLine.endsWith(QLatin1Char(']'))) {
            szCurrent = szLine.mid(1, szLine.size() - 2);
            continue;
        }
        const int nEquals = szLine.indexOf(QLatin1Char('='));
        if (szCurrent == szSection && nEquals > 0 && szLine.left(nEquals).trimmed() == szKey)
            lstValues << szLine.mid(nEquals + 1).trimmed();
    }
    return lstValues;
}

} // namespace

// The nightly backup as the package installs it: a oneshot service that
// makes a backup and then cleans old ones, a timer that starts it every
// night, both accepted by systemd and installed without being enabled; and
// the scheduled task that does the same on Windows.
class TestNightlyBackup : public QObject
{
    Q_OBJECT

private slots:
    void unitsPassSystemdVerification();
    void serviceBacksUpThenCleans_data();
    void serviceBacksUpThenCleans();
    void timerRunsEveryNight_data();
    void timerRunsEveryNight();
    void unitsAreInstalledNotEnabled();
    void windowsTaskRunsTheTwoCommandsNightly();
};

void TestNightlyBackup::unitsPassSystemdVerification()
{
    const QString szAnalyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    if (szAnalyze.isEmpty())
        QSKIP("systemd-analyze is not installed (Debian package systemd)");

    // systemd-analyze refuses a service whose program does not exist, and the
    // program is not installed here: the copy that is checked runs a
    // stand-in at another path, everything else as configured.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString szStandIn = dir.filePath(QStringLiteral("KivDataBaseUpdater"));
    QFile standIn(szStandIn);
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    standIn.write("#!/bin/sh\nexit 0\n");
    standIn.close();
    QVERIFY(standIn.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    QByteArray service = readAll(unitPath(kService));
    QVERIFY2(service.contains(KIV_INSTALLED_PROGRAM " -Backup"), service.constData());
    service.replace(KIV_INSTALLED_PROGRAM, szStandIn.toUtf8());
    QFile copy(dir.filePath(kService));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(service);
    copy.close();
    QVERIFY(QFile::copy(unitPath(kTimer), dir.filePath(kTimer)));

    QProcess analyze;
    analyze.setWorkingDirectory(dir.path());
    analyze.start(szAnalyze, {QStringLiteral("verify"), dir.filePath(kService), dir.filePath(kTimer)});
    QVERIFY(analyze.waitForFinished(60000));
    const QString szErrors = QString::fromLocal8Bit(analyze.readAllStandardError());
    // Unknown keys and bad values are warnings on standard error only.
    QVERIFY2(szErrors.trimmed().isEmpty(), qPrintable(szErrors));
    QCOMPARE(analyze.exitStatus(), QProcess::NormalExit);
    QCOMPARE(analyze.exitCode(), 0);
}

void TestNightlyBackup::serviceBacksUpThenCleans_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("values");

    const QString szProgram = QStringLiteral(KIV_INSTALLED_PROGRAM);
    const QString szRoot = QStringLiteral(KIV_SUITE_ROOT);
    // A failed backup ends a oneshot service before its second command.
    QTest::newRow("backup, then cleaning")
        << "Service"
        << "ExecStart"
        << QStringList{szProgram + QStringLiteral(" -Backup"), szProgram + QStringLiteral(" -CleanBackups")};
    QTest::newRow("oneshot") << "Service"
                             << "Type" << QStringList{QStringLiteral("oneshot")};
    // root's credentials and settings, HOME set by User=.
    QTest::newRow("as root") << "Service"
                             << "User" << QStringList{QStringLiteral("root")};
    QTest::newRow("writes backups and log only")
        << "Service"
        << "ReadWritePaths" << QStringList{QStringLiteral("%1/DataBaseBackUp %1/Log").arg(szRoot)};
    QTest::newRow("everything else read-only") << "Service"
                                               << "ProtectSystem" << QStringList{QStringLiteral("strict")};
    QTest::newRow("no display") << "Service"
                                << "Environment"
                                << QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                               QStringLiteral("XDG_DATA_HOME=%S/kivdatabaseupdater"),
                                               QStringLiteral("XDG_CACHE_HOME=%C/kivdatabaseupdater"),
                                               QStringLiteral("XDG_RUNTIME_DIR=%t/kivdatabaseupdater")};
    // Started by the timer only: nothing enables the service itself.
    QTest::newRow("no install section") << "Install"
                                        << "WantedBy" << QStringList();
}

void TestNightlyBackup::serviceBacksUpThenCleans()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QStringList, values);

    const QByteArray service = readAll(unitPath(kService));
    QVERIFY(!service.isEmpty());
    QVERIFY2(!service.contains('@'), "a @VARIABLE@ the build did not replace");
    QCOMPARE(unitValues(service, section, key), values);
}

void TestNightlyBackup::timerRunsEveryNight_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("at night") << "Timer"
                              << "OnCalendar" << QStringList{QStringLiteral("*-*-* 02:30:00")};
    QTest::newRow("spread") << "Timer"
                            << "RandomizedDelaySec" << QStringList{QStringLiteral("45min")};
    QTest::newRow("a missed night is made up") << "Timer"
                                               << "Persistent" << QStringList{QStringLiteral("true")};
    QTest::newRow("the service of its name") << "Timer"
                                             << "Unit" << QStringList();
    QTest::newRow("enabled by the administrator") << "Install"
                                                  << "WantedBy" << QStringList{QStringLiteral("timers.target")};
}

void TestNightlyBackup::timerRunsEveryNight()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QStringList, values);

    QCOMPARE(unitValues(readAll(unitPath(kTimer)), section, key), values);
}

void TestNightlyBackup::unitsAreInstalledNotEnabled()
{
    // The install rule of the component, into a staging folder as CPack
    // uses it: both units in the unit folder, no link that enables them.
    QTemporaryDir stage;
    QVERIFY(stage.isValid());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), stage.path());
    install.setProcessEnvironment(env);
    install.start(QStringLiteral(KIV_CMAKE_COMMAND),
                  {QStringLiteral("--install"),
                   QStringLiteral(KIV_BINARY_DIR),
                   QStringLiteral("--component"),
                   QStringLiteral("Systemd")});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

    QStringList lstInstalled;
    QDirIterator it(
        stage.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!it.fileInfo().isDir() || it.fileInfo().isSymLink())
            lstInstalled << it.filePath().mid(stage.path().size());
    }
    lstInstalled.sort();
    const QString szUnitDir = QStringLiteral(KIV_SYSTEMD_UNITDIR);
    QCOMPARE(lstInstalled,
             (QStringList{szUnitDir + QLatin1Char('/') + kService, szUnitDir + QLatin1Char('/') + kTimer}));
    QCOMPARE(readAll(stage.path() + szUnitDir + QLatin1Char('/') + kService), readAll(unitPath(kService)));
}

void TestNightlyBackup::windowsTaskRunsTheTwoCommandsNightly()
{
    QFile file(QStringLiteral(KIV_SOURCE_ROOT "/packaging/windows/KivDataBaseUpdater-backup.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);

    QStringList lstPath;
    QStringList lstCommands;
    QString szCommand;
    QString szDaysInterval;
    QString szStartBoundary;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (lstPath.isEmpty())
                QCOMPARE(xml.namespaceUri().toString(), kTaskNamespace);
            lstPath << xml.name().toString();
            const QString szWhere = lstPath.join(QLatin1Char('/'));
            if (szWhere == QLatin1String("Task/Actions/Exec/Command"))
                szCommand = xml.readElementText();
            else if (szWhere == QLatin1String("Task/Actions/Exec/Arguments"))
                lstCommands << szCommand + QLatin1Char(' ') + xml.readElementText();
            else if (szWhere == QLatin1String("Task/Triggers/CalendarTrigger/ScheduleByDay/DaysInterval"))
                szDaysInterval = xml.readElementText();
            else if (szWhere == QLatin1String("Task/Triggers/CalendarTrigger/StartBoundary"))
                szStartBoundary = xml.readElementText();
            else
                continue;
            // readElementText() ended the element.
            lstPath.removeLast();
        } else if (xml.isEndElement()) {
            lstPath.removeLast();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString())));
    // Only ASCII: the file is read right whatever encoding the importer assumes.
    const QByteArray bytes = readAll(file.fileName());
    QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));

    const QString szProgram = QStringLiteral("C:\\Telvor\\Updater\\KivDataBaseUpdater.exe");
    QCOMPARE(lstCommands,
             (QStringList{szProgram + QStringLiteral(" -Backup"), szProgram + QStringLiteral(" -CleanBackups")}));
    QCOMPARE(szDaysInterval, QStringLiteral("1"));
    QVERIFY2(szStartBoundary.endsWith(QLatin1String("T02:30:00")), qPrintable(szStartBoundary));
}

QTEST_GUILESS_MAIN(TestNightlyBackup)
#include "tst_NightlyBackup.moc"
