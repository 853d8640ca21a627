#include "LogFileManager.h"
#include "ProgramLog.h"
#include "Sentence.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The program's log entry point and its sentences, written through a real
// log file manager into a real file.
class tst_ProgramLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writesLinesBySeverityAndCategory_data();
    void writesLinesBySeverityAndCategory();
    void fillsSentencesInOnePass();

private:
    QString logText() const;

    std::unique_ptr<QTemporaryDir> m_pDir;
};

void tst_ProgramLog::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    LogFileManager *pLog = LogFileManager::Instance();
    pLog->AddLogFile(ProgramLog::kLogFileIdx, "KIV", m_pDir->path() + '/', "program", "log", 1, 5, false, true);
    pLog->SetCategoryFilters(false, false);
    QVERIFY(pLog->OpenFiles());
}

void tst_ProgramLog::cleanup()
{
    LogFileManager::Release();
    m_pDir.reset();
}

QString tst_ProgramLog::logText() const
{
    QFile file(m_pDir->filePath("program.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void tst_ProgramLog::writesLinesBySeverityAndCategory_data()
{
    QTest::addColumn<int>("severity");
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written"); // what follows the time stamp; empty: nothing written

    QTest::newRow("information") << int(LogSevInformation) << int(LogCatGeneral) << "Database version = 1.4.0"
                                 << "> Database version = 1.4.0";
    QTest::newRow("warning") << int(LogSevWarning) << int(LogCatGeneral) << "late"
                             << "> WARNING: late";
    QTest::newRow("error") << int(LogSevError) << int(LogCatGeneral) << "gone"
                           << "> ERROR: gone";
    QTest::newRow("server prefix") << int(LogSevError) << int(LogCatGeneral)
                                   << "ERROR:  canceling statement due to lock timeout"
                                   << "> ERROR: canceling statement due to lock timeout";
    QTest::newRow("prefix inside stays") << int(LogSevError) << int(LogCatGeneral) << "the server said ERROR: x"
                                         << "> ERROR: the server said ERROR: x";
    QTest::newRow("empty error") << int(LogSevError) << int(LogCatGeneral) << " "
                                 << "> ERROR: An error without a text was reported.";
    QTest::newRow("database category off") << int(LogSevError) << int(LogCatDatabase) << "hidden"
                                           << "";
}

void tst_ProgramLog::writesLinesBySeverityAndCategory()
{
    QFETCH(int, severity);
    QFETCH(int, category);
    QFETCH(QString, text);
    QFETCH(QString, written);

    ProgramLog::write(text, static_cast<LogCategory>(category), static_cast<LogSeverity>(severity));
    const QString szLog = logText();
    if (written.isEmpty()) {
        QVERIFY2(!szLog.contains(text.trimmed()), qPrintable(szLog));
    } else {
        QVERIFY2(szLog.endsWith(written), qPrintable(szLog));
        QVERIFY(szLog.contains(QLatin1String("\nKIV00000001<")));
    }
}

void tst_ProgramLog::fillsSentencesInOnePass()
{
    const Sentence sentence =
        Sentence("tst_ProgramLog", "Unable to rename %1 to %2.").arg(QStringLiteral("db%2")).arg(QStringLiteral("x"));
    QCOMPARE(sentence.english(), QStringLiteral("Unable to rename db%2 to x."));
    // Without a translator the translation is the English text.
    QCOMPARE(sentence.translated(), sentence.english());
    QCOMPARE(Sentence("tst_ProgramLog", "%1 of %2").arg(3).arg(12).english(), QStringLiteral("3 of 12"));
}

QTEST_GUILESS_MAIN(tst_ProgramLog)
#include "tst_ProgramLog.moc"
