#include "SchemaDrift.h"

#include "SchemaCatalog.h"
#include "SqlScripts.h"
#include "VersionCompare.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <algorithm>

namespace {

const QString kTable = QStringLiteral("table");

QString objectKey(const SchemaCatalog::Object &object)
{
    return object.szKind + QLatin1Char('\t') + object.szName;
}

SchemaDifference difference(SchemaDifference::Change eChange,
                            const SchemaCatalog::Object &object,
                            const QString &szExpected,
                            const QString &szFound)
{
    SchemaDifference diff;
    diff.eChange = eChange;
    diff.szKind = object.szKind;
    diff.szObject = object.szName;
    diff.szExpected = szExpected;
    diff.szFound = szFound;
    return diff;
}

} // namespace

QStringList SchemaDrift::knownVersions()
{
    initSqlScripts();
    const QString szSuffix = QStringLiteral(".schema");
    QStringList lstVersions;
    const QStringList lstFiles =
        QDir(expectationResourceFolder()).entryList(QStringList{QLatin1Char('*') + szSuffix}, QDir::Files);
    for (const QString &szFile : lstFiles)
        lstVersions << szFile.left(szFile.size() - szSuffix.size());
    std::sort(lstVersions.begin(), lstVersions.end(), [](const QString &szLeft, const QString &szRight) {
        return compareVersions(szLeft, szRight) < 0;
    });
    return lstVersions;
}

SchemaDriftResult SchemaDrift::check(const QString &szVersion)
{
    const QString szDefault = QString::fromLatin1(QSqlDatabase::defaultConnection);
    return check(szVersion,
                 QSqlDatabase::contains(szDefault) ? QSqlDatabase::database(szDefault, false) : QSqlDatabase());
}

SchemaDriftResult SchemaDrift::check(const QString &szVersion, QSqlDatabase db)
{
    SchemaCatalog expected;
    QString szError;
    if (!expectedCatalog(szVersion, expected, &szError)) {
        if (!knownVersions().contains(szVersion))
            return SchemaDriftResult::unknownVersion(szVersion);
        return SchemaDriftResult::failed(szVersion, szError);
    }
    SchemaCatalog found;
    if (!found.read(db))
        return SchemaDriftResult::failed(
            szVersion, QStringLiteral("Unable to read the schema of the database: %1").arg(found.errorText()));
    return compare(szVersion, expected, found);
}

SchemaDriftResult
SchemaDrift::compare(const QString &szVersion, const SchemaCatalog &expected, const SchemaCatalog &found)
{
    QHash<QString, QString> mapExpected;
    for (const SchemaCatalog::Object &object : expected.objects())
        mapExpected.insert(objectKey(object), object.szDefinition);
    QHash<QString, QString> mapFound;
    for (const SchemaCatalog::Object &object : found.objects())
        mapFound.insert(objectKey(object), object.szDefinition);

    QSet<QString> setMissingTables;
    for (const SchemaCatalog::Object &object : expected.objects()) {
        if (object.szKind == kTable && !mapFound.contains(objectKey(object)))
            setMissingTables.insert(object.szName);
    }
    QSet<QString> setExtraTables;
    for (const SchemaCatalog::Object &object : found.objects()) {
        if (object.szKind == kTable && !mapExpected.contains(objectKey(object)))
            setExtraTables.insert(object.szName);
    }

    QList<SchemaDifference> lstMissing;
    QList<SchemaDifference> lstChanged;
    for (const SchemaCatalog::Object &object : expected.objects()) {
        const auto it = mapFound.constFind(objectKey(object));
        if (it == mapFound.constEnd()) {
            if (!setMissingTables.contains(SchemaCatalog::owningTable(object)))
                lstMissing << difference(SchemaDifference::Missing, object, object.szDefinition, QString());
        } else if (it.value() != object.szDefinition) {
            lstChanged << difference(SchemaDifference::Changed, object, object.szDefinition, it.value());
        }
    }
    QList<SchemaDifference> lstExtra;
    for (const SchemaCatalog::Object &object : found.objects()) {
        if (!mapExpected.contains(objectKey(object)) && !setExtraTables.contains(SchemaCatalog::owningTable(object)))
            lstExtra << difference(SchemaDifference::Extra, object, QString(), object.szDefinition);
    }
    return SchemaDriftResult::compared(szVersion, lstMissing, lstChanged, lstExtra);
}

bool SchemaDrift::expectedCatalog(const QString &szVersion, SchemaCatalog &catalog, QString *pszError)
{
    initSqlScripts();
    QFile file(expectationResourceFolder() + QLatin1Char('/') + expectationFileName(szVersion));
    // A version text is never a path: "../x" or "" name no expectation.
    if (szVersion.isEmpty() || szVersion.contains(QLatin1Char('/')) || !file.open(QIODevice::ReadOnly)) {
        if (pszError)
            *pszError = QStringLiteral("No expected schema for version %1.").arg(szVersion);
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    if (!catalog.parse(stream.readAll())) {
        if (pszError)
            *pszError =
                QStringLiteral("The expected schema of version %1 is damaged: %2").arg(szVersion, catalog.errorText());
        return false;
    }
    return true;
}

QString SchemaDrift::expectationFileName(const QString &szVersion)
{
    return szVersion + QStringLiteral(".schema");
}

QString SchemaDrift::expectationResourceFolder()
{
    return QStringLiteral(":/SchemaExpectation");
}
