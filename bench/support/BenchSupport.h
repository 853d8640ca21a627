#pragma once

// What every benchmark of bench/ needs: printing, giving up, the test
// server's environment, and medians with their spread.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

inline void say(const QString &szText)
{
    std::printf("%s\n", qPrintable(szText));
    std::fflush(stdout);
}

[[noreturn]] inline void fail(const QString &szText)
{
    std::fprintf(stderr, "benchmark failed: %s\n", qPrintable(szText));
    std::exit(1);
}

// A variable of the env.sh that scripts/pgserver.sh writes.
inline QString env(const char *pszName)
{
    const QString szValue = qEnvironmentVariable(pszName);
    if (szValue.isEmpty())
        fail(QStringLiteral("%1 is not set: source the env.sh of scripts/pgserver.sh").arg(QLatin1String(pszName)));
    return szValue;
}

inline double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

// "median unit (lowest-highest)"
inline QString figure(const QVector<double> &values, const QString &szUnit = QStringLiteral("ms"), int nRangeDigits = 3)
{
    const auto range = std::minmax_element(values.cbegin(), values.cend());
    return QStringLiteral("%1 %2 (%3-%4)")
        .arg(median(values), 0, 'f', 3)
        .arg(szUnit)
        .arg(*range.first, 0, 'f', nRangeDigits)
        .arg(*range.second, 0, 'f', nRangeDigits);
}

// The built program laid out below szWork as an installer lays it: with its
// libraries in "suite/Updater", the CA chain szCaFile in "suite/OpenSSL", and
// the empty folders "config" and "data" of a private home. The program's
// path.
inline QString installSuite(const QString &szWork, const QString &szCaFile)
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString szUpdater = szWork + QStringLiteral("/suite/Updater");
    for (const QString &szFolder :
         {szUpdater, szWork + QStringLiteral("/suite/OpenSSL"), szWork + "/config", szWork + "/data"})
        if (!QDir().mkpath(szFolder))
            fail(QStringLiteral("cannot make %1").arg(szFolder));
    QStringList lstFiles = bin.entryList({QStringLiteral("lib*.so*")}, QDir::Files);
    lstFiles << QStringLiteral("KivDataBaseUpdater");
    for (const QString &szFile : lstFiles)
        if (!QFile::copy(bin.filePath(szFile), szUpdater + QLatin1Char('/') + szFile))
            fail(QStringLiteral("cannot copy %1").arg(bin.filePath(szFile)));
    if (!QFile::copy(szCaFile, szWork + QStringLiteral("/suite/OpenSSL/telvorCA-chain.pem")))
        fail(QStringLiteral("cannot copy the CA file %1").arg(szCaFile));
    return szUpdater + QStringLiteral("/KivDataBaseUpdater");
}
