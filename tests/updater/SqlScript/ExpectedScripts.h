#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

// The version steps in the order the updater runs them, each with the scripts
// it runs, in order. Written out by hand so that a renamed, missing or
// reordered script shows up as a difference.
struct ExpectedStep
{
    QString version;
    QString directory;
    QStringList scripts;
};

inline QVector<ExpectedStep> expectedSteps()
{
    return {
        {QStringLiteral("1.1.0"),
         QStringLiteral("v.01.01.00"),
         {QStringLiteral("01-01-001-User-AlterTable.sql"),
          QStringLiteral("01-01-002-PersonalData-InsertInto.sql"),
          QStringLiteral("01-01-003-Profiles-InsertInto.sql"),
          QStringLiteral("01-01-004-User-InsertInto.sql"),
          QStringLiteral("01-01-005-PersonalData-AlterTable.sql"),
          QStringLiteral("01-01-006-CalGeoValidityParams-AlterTable.sql"),
          QStringLiteral("01-01-007-CalHUVValidityParams-CreateTable.sql"),
          QStringLiteral("01-01-008-DcmImage-AlterTable.sql"),
          QStringLiteral("01-01-009-DcmImageSeries-AlterTable.sql"),
          QStringLiteral("01-01-010-DcmStudy-AlterTable.sql"),
          QStringLiteral("01-01-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.2.0"),
         QStringLiteral("v.01.02.00"),
         {QStringLiteral("01-02-001-DcmImageSeries-AlterTable.sql"),
          QStringLiteral("01-02-002-DcmImage-AlterTable.sql"),
          QStringLiteral("01-02-003-DcmImage-AlterTable.sql"),
          QStringLiteral("01-02-004-DcmImage-AlterTable.sql"),
          QStringLiteral("01-02-005-patients-AlterTable.sql"),
          QStringLiteral("01-02-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.3.0"),
         QStringLiteral("v.01.03.00"),
         {QStringLiteral("01-03-001-patients-AlterTable.sql"),
          QStringLiteral("01-03-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.4.0"),
         QStringLiteral("v.01.04.00"),
         {QStringLiteral("01-04-001-dcmAE-CreateTable.sql"),
          QStringLiteral("01-04-002-dcmTransferSystax-CreateTable.sql"),
          QStringLiteral("01-04-003-dcmTransferSystax-InsertInto.sql"),
          QStringLiteral("01-04-004-dcmAbstractSystax-CreateTable.sql"),
          QStringLiteral("01-04-005-dcmAbstractSystax-InsertInto.sql"),
          QStringLiteral("01-04-006-patients-AlterTable.sql"),
          QStringLiteral("01-04-007-patients-Update.sql"),
          QStringLiteral("01-04-008-patients-AlterTable.sql"),
          QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.4.1"),
         QStringLiteral("v.01.04.01"),
         {QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.4.2"),
         QStringLiteral("v.01.04.02"),
         {QStringLiteral("01-04-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.5.0"),
         QStringLiteral("v.01.05.00"),
         {QStringLiteral("01-05-001-patients-AlterTable.sql"),
          QStringLiteral("01-05-002-USERS-AlterTable.sql"),
          QStringLiteral("01-05-003-PERSONALDATA-AlterTable.sql"),
          QStringLiteral("01-05-004-acqLog-CreateTable.sql"),
          QStringLiteral("01-05-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.6.0"),
         QStringLiteral("v.01.06.00"),
         {QStringLiteral("01-06-001-patients-AlterTable.sql"),
          QStringLiteral("01-06-002-patients-Update.sql"),
          QStringLiteral("01-06-003-patients-AlterTable.sql"),
          QStringLiteral("01-06-004-patients-AlterTable.sql"),
          QStringLiteral("01-06-005-users-AlterTable.sql"),
          QStringLiteral("01-06-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.7.0"),
         QStringLiteral("v.01.07.00"),
         {QStringLiteral("01-07-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.8.0"),
         QStringLiteral("v.01.08.00"),
         {QStringLiteral("01-08-001-encryption-CreateExtension.sql"),
          QStringLiteral("01-08-999-kivVersion-CreateOrReplace.sql")}},
        {QStringLiteral("1.9.0"),
         QStringLiteral("v.01.09.00"),
         {QStringLiteral("01-09-002-users-Update.sql"),
          QStringLiteral("01-09-003-users-Update.sql"),
          QStringLiteral("01-09-004-users-AlterTable.sql"),
          QStringLiteral("01-09-999-kivVersion-CreateOrReplace.sql")}},
    };
}

inline QString initialSchemaPath()
{
    return QStringLiteral(":/SqlScript/pelq.sql");
}

inline QString scriptPath(const ExpectedStep &step, const QString &fileName)
{
    return QStringLiteral(":/SqlScript/%1/%2").arg(step.directory, fileName);
}

// The script the step to 1.1.0 leaves out when the default profile exists.
inline QString defaultProfileScript()
{
    return QStringLiteral("01-01-003-Profiles-InsertInto.sql");
}

// Reads a script the way the updater does: text mode, QTextStream without a
// codec, so that a byte-order mark selects UTF-8 and is dropped.
inline QString readScriptText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    return stream.readAll();
}
