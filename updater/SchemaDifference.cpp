#include "SchemaDifference.h"

QString SchemaDifference::text() const
{
    const QString szSubject = szKind + QLatin1Char(' ') + szObject;
    switch (eChange) {
    case Missing:
        return szExpected.isEmpty() ? QStringLiteral("missing %1").arg(szSubject)
                                    : QStringLiteral("missing %1: %2").arg(szSubject, szExpected);
    case Changed:
        return QStringLiteral("changed %1: expected %2; found %3")
            .arg(szSubject,
                 szExpected.isEmpty() ? QStringLiteral("(nothing)") : szExpected,
                 szFound.isEmpty() ? QStringLiteral("(nothing)") : szFound);
    case Extra:
        break;
    }
    return szFound.isEmpty() ? QStringLiteral("extra %1").arg(szSubject)
                             : QStringLiteral("extra %1: %2").arg(szSubject, szFound);
}
