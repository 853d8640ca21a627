#include "PersonalDataStatements.h"

#include "DBManager.h"
#include "PersonalData.h"
#include "SqlText.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>

#include <libpq-fe.h>

#include <cstdlib>

namespace {

QSqlDatabase openDefaultConnection()
{
    const QString szName = QString::fromLatin1(QSqlDatabase::defaultConnection);
    if (!QSqlDatabase::contains(szName))
        return QSqlDatabase();
    return QSqlDatabase::database(szName, false);
}

QString column(const QString &szAlias, const QString &szName)
{
    return szAlias + QLatin1Char('.') + SqlText::quoteIdentifier(szName);
}

// libpq's connection under an open Qt connection; nullptr when the driver is
// not Qt's PostgreSQL driver.
PGconn *nativeConnection(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// The statement text with libpq's numbered placeholders ($1, $2, ...) for the
// "?" that Qt takes; quoted literals and identifiers are left alone.
QByteArray numberedPlaceholders(const QString &szSql)
{
    QString szOut;
    szOut.reserve(szSql.size() + 32);
    int nNext = 1;
    QChar quote;
    for (const QChar c : szSql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            szOut += QLatin1Char('$') + QString::number(nNext++);
            continue;
        }
        szOut += c;
    }
    return szOut.toUtf8();
}

QString resultError(const PGresult *pResult, PGconn *pConnection)
{
    const char *pszError = pResult ? PQresultErrorMessage(pResult) : PQerrorMessage(pConnection);
    return QString::fromUtf8(pszError).trimmed();
}

} // namespace

PersonalDataStatements *PersonalDataStatements::instance()
{
    // Never destroyed: prepared statements must not outlive Qt's SQL registry
    // at the end of the process; DBManager::closeDatabase() releases them.
    static PersonalDataStatements *s_pInstance = new PersonalDataStatements;
    return s_pInstance;
}

bool PersonalDataStatements::ensure()
{
    QSqlDatabase db = openDefaultConnection();
    if (!db.isOpen()) {
        m_szLastError = QStringLiteral("No open connection");
        reset();
        return false;
    }
    if (db.driver() != m_pDriver) {
        // Another connection than the one the statements were made for.
        reset();
        m_pDriver = db.driver();
    }
    if (m_bColumnsKnown && m_nOpenTables > 0)
        return true;
    return readColumns();
}

bool PersonalDataStatements::pinOpenTable()
{
    ++m_nOpenTables;
    m_savedSinceOpen.clear();
    QSqlDatabase db = openDefaultConnection();
    if (db.isOpen() && db.driver() != m_pDriver) {
        reset();
        m_pDriver = db.driver();
    }
    return db.isOpen() && readColumns();
}

void PersonalDataStatements::unpinOpenTable()
{
    withdrawOffer();
    if (m_nOpenTables > 0)
        --m_nOpenTables;
    if (m_nOpenTables == 0)
        m_savedSinceOpen.clear();
}

void PersonalDataStatements::offerRow(qint64 nId, const QVector<QString> &values)
{
    m_bOffered = true;
    m_nOfferedId = nId;
    m_offeredValues = values;
}

bool PersonalDataStatements::takeOfferedRow(qint64 nId, QVector<QString> &values)
{
    if (!m_bOffered || m_nOfferedId != nId || m_nOpenTables == 0 || m_savedSinceOpen.contains(nId))
        return false;
    values = m_offeredValues;
    withdrawOffer();
    return true;
}

void PersonalDataStatements::withdrawOffer()
{
    m_bOffered = false;
    m_offeredValues.clear();
}

void PersonalDataStatements::noteSaved(qint64 nId)
{
    if (m_nOpenTables > 0)
        m_savedSinceOpen.insert(nId);
}

void PersonalDataStatements::reset()
{
    withdrawOffer();
    m_savedSinceOpen.clear();
    dropStatements();
    m_pDriver = nullptr;
    m_bColumnsKnown = false;
    m_presentColumns.clear();
}

const QVector<int> &PersonalDataStatements::presentColumns() const
{
    return m_presentColumns;
}

QStringList PersonalDataStatements::presentColumnNames() const
{
    const QStringList lstAll = PersonalData::encryptedColumns();
    QStringList lstColumns;
    for (int nIndex : m_presentColumns)
        lstColumns << lstAll.at(nIndex);
    return lstColumns;
}

QSqlQuery *PersonalDataStatements::statement(Kind eKind)
{
    if (!m_bColumnsKnown || eKind < 0 || eKind >= KindCount)
        return nullptr;
    std::unique_ptr<QSqlQuery> &pStatement = m_statements[eKind];
    if (pStatement)
        return pStatement.get();

    auto pQuery = std::make_unique<QSqlQuery>(openDefaultConnection());
    if (!pQuery->prepare(sqlText(eKind, presentColumnNames()))) {
        m_szLastError = pQuery->lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to prepare the personal data statement:" << m_szLastError;
        return nullptr;
    }
    pStatement = std::move(pQuery);
    return pStatement.get();
}

QString PersonalDataStatements::sqlText(Kind eKind, const QStringList &lstColumns)
{
    QStringList lstParts;
    switch (eKind) {
    case LoadStored:
        for (const QString &szName : lstColumns)
            lstParts << column(QStringLiteral("p"), szName);
        return QStringLiteral("SELECT %1 FROM \"PERSONALDATA\" AS p WHERE p.\"ID\" = ?").arg(lstParts.join(", "));
    case TableRows:
        for (const QString &szName : lstColumns)
            lstParts << column(QStringLiteral("p"), szName);
        return QStringLiteral("SELECT p.\"ID\", %1 FROM \"PERSONALDATA\" AS p ORDER BY p.\"ID\"")
            .arg(lstParts.join(", "));
    case SaveStored:
        for (const QString &szName : lstColumns)
            lstParts << SqlText::quoteIdentifier(szName) + QStringLiteral(" = ?::text");
        return QStringLiteral("UPDATE \"PERSONALDATA\" SET %1 WHERE \"ID\" = ?").arg(lstParts.join(", "));
    case SaveBatch: {
        // One statement for many rows: the IDs and each column's values come
        // as arrays of equal length, taken apart row by row by unnest().
        QStringList lstArrays{QStringLiteral("?::int8[]")};
        QStringList lstNames{QStringLiteral("id")};
        for (int i = 0; i < lstColumns.size(); ++i) {
            lstArrays << QStringLiteral("?::text[]");
            lstNames << QStringLiteral("c%1").arg(i);
            lstParts << SqlText::quoteIdentifier(lstColumns.at(i)) + QStringLiteral(" = v.c%1").arg(i);
        }
        return QStringLiteral("UPDATE \"PERSONALDATA\" AS p SET %1 FROM unnest(%2) AS v (%3) WHERE p.\"ID\" = v.id")
            .arg(lstParts.join(", "), lstArrays.join(", "), lstNames.join(", "));
    }
    case KindCount:
        break;
    }
    return QString();
}

QString PersonalDataStatements::lastError() const
{
    return m_szLastError;
}

bool PersonalDataStatements::readColumns()
{
    QSqlQuery query(openDefaultConnection());
    // to_regclass() gives NULL for a missing table instead of an error, which
    // would abort a transaction that the caller has open.
    if (!query.exec(QStringLiteral("SELECT attname FROM pg_attribute "
                                   "WHERE attrelid = to_regclass('\"PERSONALDATA\"') AND attnum > 0 "
                                   "AND NOT attisdropped"))) {
        m_szLastError = query.lastError().text();
        qCWarning(g_lcDatabase).noquote() << "Unable to read the columns of PERSONALDATA:" << m_szLastError;
        reset();
        return false;
    }
    QStringList lstFound;
    while (query.next())
        lstFound << query.value(0).toString();
    if (lstFound.isEmpty()) {
        m_szLastError = QStringLiteral("The database has no table PERSONALDATA");
        qCWarning(g_lcDatabase).noquote() << m_szLastError;
        dropStatements();
        m_bColumnsKnown = false;
        m_presentColumns.clear();
        return false;
    }
    QVector<int> present;
    const QStringList lstAll = PersonalData::encryptedColumns();
    for (int i = 0; i < lstAll.size(); ++i) {
        if (lstFound.contains(lstAll.at(i)))
            present << i;
    }
    if (present.isEmpty()) {
        m_szLastError = QStringLiteral("The table PERSONALDATA has none of the personal data columns");
        qCWarning(g_lcDatabase).noquote() << m_szLastError;
        dropStatements();
        m_bColumnsKnown = false;
        m_presentColumns.clear();
        return false;
    }
    if (!m_bColumnsKnown || present != m_presentColumns)
        dropStatements();
    m_presentColumns = present;
    m_bColumnsKnown = true;
    return true;
}

void PersonalDataStatements::dropStatements()
{
    for (std::unique_ptr<QSqlQuery> &pStatement : m_statements)
        pStatement.reset();
    dropDirectStatements();
}

pg_conn *PersonalDataStatements::directConnection()
{
    PGconn *pConnection = nativeConnection(openDefaultConnection());
    // Active: a result still being fetched (drivers that read forward-only
    // queries row by row); a statement of ours would now fail, while the
    // driver's own path first finishes that result.
    if (!pConnection || PQstatus(pConnection) != CONNECTION_OK || PQtransactionStatus(pConnection) == PQTRANS_ACTIVE ||
        PQpipelineStatus(pConnection) != PQ_PIPELINE_OFF ||
        qstrcmp(pg_encoding_to_char(PQclientEncoding(pConnection)), "UTF8") != 0)
        return nullptr;
    const int nBackend = PQbackendPID(pConnection);
    if (pConnection != m_pDirectConnection || nBackend != m_nDirectBackend) {
        // Statements of another connection died with it.
        m_directPrepared.fill(false);
        m_pDirectConnection = pConnection;
        m_nDirectBackend = nBackend;
    }
    return pConnection;
}

pg_conn *PersonalDataStatements::nativeHandle() const
{
    return nativeConnection(openDefaultConnection());
}

QByteArray PersonalDataStatements::directStatement(pg_conn *pConnection, Kind eKind)
{
    if (!m_bColumnsKnown || (eKind != SaveStored && eKind != SaveBatch) || pConnection != m_pDirectConnection)
        return QByteArray();
    const QByteArray name = QByteArrayLiteral("kivdb_personal_") + QByteArray::number(m_nDirectGeneration) + '_' +
                            QByteArray::number(int(eKind));
    if (m_directPrepared[eKind])
        return name;
    PGresult *pResult = PQprepare(pConnection,
                                  name.constData(),
                                  numberedPlaceholders(sqlText(eKind, presentColumnNames())).constData(),
                                  0,
                                  nullptr);
    const bool bPrepared = pResult && PQresultStatus(pResult) == PGRES_COMMAND_OK;
    if (!bPrepared) {
        m_szLastError = resultError(pResult, pConnection);
        qCWarning(g_lcDatabase).noquote() << "Unable to prepare the personal data statement:" << m_szLastError;
    }
    PQclear(pResult);
    if (!bPrepared)
        return QByteArray();
    m_directPrepared[eKind] = true;
    return name;
}

PersonalDataStatements::DirectResult
PersonalDataStatements::runDirect(Kind eKind, const QVector<QByteArray> &params, int &nRows)
{
    nRows = 0;
    if (!m_bColumnsKnown || eKind != SaveStored)
        return DirectUnavailable;
    PGconn *pConnection = directConnection();
    if (!pConnection)
        return DirectUnavailable;
    const QByteArray name = directStatement(pConnection, eKind);
    if (name.isEmpty())
        return DirectFailed;

    QVector<const char *> values(params.size());
    for (int i = 0; i < params.size(); ++i)
        values[i] = params.at(i).isNull() ? nullptr : params.at(i).constData();
    PGresult *pResult =
        PQexecPrepared(pConnection, name.constData(), values.size(), values.constData(), nullptr, nullptr, 0);
    const bool bDone = pResult && PQresultStatus(pResult) == PGRES_COMMAND_OK;
    if (bDone)
        nRows = std::atoi(PQcmdTuples(pResult));
    else
        m_szLastError = resultError(pResult, pConnection);
    PQclear(pResult);
    return bDone ? DirectDone : DirectFailed;
}

void PersonalDataStatements::dropDirectStatements()
{
    PGconn *pConnection = nativeConnection(openDefaultConnection());
    const bool bSameConnection =
        pConnection && pConnection == m_pDirectConnection && PQbackendPID(pConnection) == m_nDirectBackend;
    // DEALLOCATE only outside a transaction, where its failure could not
    // abort the caller's work; otherwise the statements stay until the
    // connection ends, under names that are not used again.
    if (bSameConnection && PQtransactionStatus(pConnection) == PQTRANS_IDLE) {
        for (int i = 0; i < KindCount; ++i) {
            if (!m_directPrepared[i])
                continue;
            const QByteArray sql = QByteArrayLiteral("DEALLOCATE kivdb_personal_") +
                                   QByteArray::number(m_nDirectGeneration) + '_' + QByteArray::number(i);
            PQclear(PQexec(pConnection, sql.constData()));
        }
    }
    m_directPrepared.fill(false);
    // New names: a statement that could not be released keeps its old one.
    ++m_nDirectGeneration;
}
