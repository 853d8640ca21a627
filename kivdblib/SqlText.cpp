#include "SqlText.h"

namespace SqlText {

QString quoteIdentifier(const QString &szName)
{
    QString szQuoted = szName;
    szQuoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + szQuoted + QLatin1Char('"');
}

bool isUsableDatabaseName(const QString &szName)
{
    return !szName.isEmpty() && !szName.contains(QChar(0)) && szName.toUtf8().size() <= kMaxIdentifierBytes;
}

QString quoteLiteral(const QString &szValue)
{
    QString szQuoted = szValue;
    szQuoted.remove(QChar(0));
    szQuoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + szQuoted + QLatin1Char('\'');
}

QString quoteConnectValue(const QString &szValue)
{
    QString szQuoted = szValue;
    szQuoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    szQuoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + szQuoted + QLatin1Char('\'');
}

} // namespace SqlText
