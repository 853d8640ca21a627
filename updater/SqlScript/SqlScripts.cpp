#include "SqlScripts.h"

#include <QtGlobal>

// Q_INIT_RESOURCE only works outside any namespace.
void initSqlScripts()
{
    static const bool bInitialised = [] {
        Q_INIT_RESOURCE(SqlScript);
        Q_INIT_RESOURCE(SchemaExpectation);
        return true;
    }();
    Q_UNUSED(bInitialised)
}
