#include "VersionCompare.h"

#include <QStringList>

int compareVersions(const QString &szLeft, const QString &szRight)
{
    const QStringList lstLeft = szLeft.trimmed().split(QLatin1Char('.'));
    const QStringList lstRight = szRight.trimmed().split(QLatin1Char('.'));
    const int nCount = qMax(lstLeft.size(), lstRight.size());
    for (int i = 0; i < nCount; ++i) {
        const QString szA = i < lstLeft.size() ? lstLeft.at(i) : QStringLiteral("0");
        const QString szB = i < lstRight.size() ? lstRight.at(i) : QStringLiteral("0");
        bool bOkA = false;
        bool bOkB = false;
        const qulonglong nA = szA.toULongLong(&bOkA);
        const qulonglong nB = szB.toULongLong(&bOkB);
        if (bOkA && bOkB) {
            if (nA != nB)
                return nA < nB ? -1 : 1;
        } else {
            const int nText = QString::compare(szA, szB);
            if (nText != 0)
                return nText < 0 ? -1 : 1;
        }
    }
    return 0;
}
