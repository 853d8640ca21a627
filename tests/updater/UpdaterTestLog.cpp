#include "UpdaterTestLog.h"

#include "LogFileManager.h"

#include <QFile>
#include <QRegularExpression>

UpdaterTestLog::UpdaterTestLog() = default;

UpdaterTestLog::~UpdaterTestLog()
{
    close();
}

bool UpdaterTestLog::open(bool bDatabaseLogging)
{
    if (!m_dir.isValid())
        return false;
    m_szPath = m_dir.path() + QStringLiteral("/updater.log");
    LogFileManager *pLog = LogFileManager::Instance();
    pLog->AddLogFile(1,
                     QStringLiteral("KIV"),
                     m_dir.path() + QLatin1Char('/'),
                     QStringLiteral("updater"),
                     QStringLiteral("log"),
                     9,
                     5,
                     false,
                     true);
    pLog->SetSeparateFiles(true, 5, 10, false);
    pLog->SetCategoryFilters(bDatabaseLogging, false);
    return pLog->OpenFiles();
}

void UpdaterTestLog::setDatabaseLogging(bool bEnabled)
{
    LogFileManager::Instance()->SetCategoryFilters(bEnabled, false);
}

void UpdaterTestLog::close()
{
    if (!m_szPath.isEmpty())
        LogFileManager::Release();
    m_szPath.clear();
}

void UpdaterTestLog::mark()
{
    m_nMark = QFile(m_szPath).size();
}

QStringList UpdaterTestLog::entries() const
{
    QFile file(m_szPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_nMark))
        return {};
    const QString szText = QString::fromUtf8(file.readAll());
    // Every entry starts with a line break, the tag, the index digits and the stamp.
    static const QRegularExpression reHead(QStringLiteral("(?:^\\x{FEFF})?\\nKIV00000001<[^>]*> "));
    QStringList lstEntries = szText.split(reHead);
    if (!lstEntries.isEmpty() && lstEntries.first().isEmpty())
        lstEntries.removeFirst();
    return lstEntries;
}

int UpdaterTestLog::count(const QString &szEntry) const
{
    return entries().count(szEntry);
}
