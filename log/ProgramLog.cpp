#include "ProgramLog.h"

#include <QRegularExpression>

namespace {

constexpr int kMaxErrors = 500;

QStringList &errorList()
{
    static QStringList s_lstErrors;
    return s_lstErrors;
}

// "ERROR:  text" as the server and libpq begin their messages.
QString withoutErrorPrefix(const QString &szText)
{
    static const QRegularExpression reServerPrefix(QStringLiteral("^\\s*ERROR:\\s*"));
    QString szResult = szText;
    szResult.remove(reServerPrefix);
    return szResult;
}

} // namespace

void ProgramLog::info(const QString &szText, LogCategory category)
{
    write(szText, category, LogSevInformation);
}

void ProgramLog::warning(const QString &szText, LogCategory category)
{
    write(szText, category, LogSevWarning);
}

void ProgramLog::error(const QString &szText, LogCategory category)
{
    write(szText, category, LogSevError);
}

void ProgramLog::write(const QString &szText, LogCategory category, LogSeverity severity)
{
    QString szLine = szText;
    if (severity == LogSevError) {
        szLine = withoutErrorPrefix(szLine);
        if (szLine.trimmed().isEmpty())
            szLine = QStringLiteral("An error without a text was reported.");
        QStringList &lstErrors = errorList();
        lstErrors << szLine.trimmed();
        if (lstErrors.size() > kMaxErrors)
            lstErrors.removeFirst();
    }
    LogFileManager::Instance()->Log(kLogFileIdx, szLine, category, severity);
}

QStringList ProgramLog::errors()
{
    return errorList();
}

void ProgramLog::clearErrors()
{
    errorList().clear();
}
