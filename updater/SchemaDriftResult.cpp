#include "SchemaDriftResult.h"

SchemaDriftResult SchemaDriftResult::compared(const QString &szVersion,
                                              const QList<SchemaDifference> &lstMissing,
                                              const QList<SchemaDifference> &lstChanged,
                                              const QList<SchemaDifference> &lstExtra)
{
    SchemaDriftResult result;
    result.m_eStatus = Compared;
    result.m_szVersion = szVersion;
    result.m_lstMissing = lstMissing;
    result.m_lstChanged = lstChanged;
    result.m_lstExtra = lstExtra;
    return result;
}

SchemaDriftResult SchemaDriftResult::unknownVersion(const QString &szVersion)
{
    SchemaDriftResult result;
    result.m_eStatus = UnknownVersion;
    result.m_szVersion = szVersion;
    result.m_szError =
        szVersion.isEmpty()
            ? QStringLiteral("The database reports no version: there is no expected schema to compare it with.")
            : QStringLiteral("No expected schema for version %1: the schema cannot be compared.").arg(szVersion);
    return result;
}

SchemaDriftResult SchemaDriftResult::failed(const QString &szVersion, const QString &szError)
{
    SchemaDriftResult result;
    result.m_eStatus = Failed;
    result.m_szVersion = szVersion;
    result.m_szError = szError;
    return result;
}

bool SchemaDriftResult::hasDrift() const
{
    return m_eStatus == Compared && (!m_lstMissing.isEmpty() || !m_lstChanged.isEmpty());
}

QString SchemaDriftResult::summary() const
{
    if (m_eStatus != Compared)
        return m_szError.isEmpty() ? QStringLiteral("The schema was not checked.") : m_szError;
    const QString szExtra =
        m_lstExtra.isEmpty()
            ? QString()
            : QStringLiteral("; %1 extra object(s) beyond it, not counted as drift").arg(m_lstExtra.size());
    if (!hasDrift())
        return QStringLiteral("The schema matches version %1%2.").arg(m_szVersion, szExtra);
    return QStringLiteral("Schema drift from version %1: %2 missing, %3 changed%4.")
        .arg(m_szVersion)
        .arg(m_lstMissing.size())
        .arg(m_lstChanged.size())
        .arg(szExtra);
}
