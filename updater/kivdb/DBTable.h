#pragma once

#include "kivdblib_global.h"

#include <QSqlQuery>

// Forward-only cursor over the rows of one table.
class KIVDBLIB_EXPORT DBTable
{
public:
    DBTable();
    virtual ~DBTable();

    // Number of rows selected by the last open().
    int affectedRows() const;
    // Moves to the next row; false past the last one.
    virtual bool load();

protected:
    bool openQuery(const QString &szSql);
    QSqlQuery m_query;
    int m_nAffectedRows = 0;
};
