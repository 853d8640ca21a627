#include "DBTable.h"

#include "DBManager.h"

#include <QSqlDatabase>
#include <QSqlError>

DBTable::DBTable() = default;

DBTable::~DBTable() = default;

int DBTable::affectedRows() const
{
    return m_nAffectedRows;
}

bool DBTable::load()
{
    return m_query.isActive() && m_query.next();
}

bool DBTable::openQuery(const QString &szSql)
{
    m_nAffectedRows = 0;
    const QString szDefault = QString::fromLatin1(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(szDefault) ? QSqlDatabase::database(szDefault, false) : QSqlDatabase();
    if (!db.isOpen()) {
        m_query = QSqlQuery();
        qCWarning(g_lcDatabase) << "Unable to open a table without a connection";
        return false;
    }
    m_query = QSqlQuery(db);
    // Not forward-only: the driver would then stream the rows one by one, and
    // the statements that callers run between two load() calls would discard
    // the rest of them. The whole result is fetched at once instead.
    if (!m_query.exec(szSql)) {
        qCWarning(g_lcDatabase).noquote() << "Unable to open a table:" << m_query.lastError().text();
        m_query = QSqlQuery();
        return false;
    }
    m_nAffectedRows = qMax(m_query.size(), 0);
    return true;
}
