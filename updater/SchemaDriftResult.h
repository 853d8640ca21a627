#pragma once

#include "SchemaDifference.h"

#include <QList>
#include <QString>

// The outcome of a schema drift check (SchemaDrift): the differences between
// the schema expected at the version the database reports and the schema it
// has, or why there was nothing to compare.
//
// Drift is what an update step may trip over: an expected object that is
// missing or has another definition. Objects the database has beyond the
// expected ones (a table or index a clinic added) are listed as extra and
// are not drift.
class SchemaDriftResult
{
public:
    enum Status
    {
        Compared,       // the lists hold the differences (maybe none)
        UnknownVersion, // no expected schema for the version: nothing compared
        Failed          // the schema could not be read: nothing compared
    };

    // A check that did not run: Failed, without a text.
    SchemaDriftResult() = default;
    static SchemaDriftResult compared(const QString &szVersion,
                                      const QList<SchemaDifference> &lstMissing,
                                      const QList<SchemaDifference> &lstChanged,
                                      const QList<SchemaDifference> &lstExtra);
    static SchemaDriftResult unknownVersion(const QString &szVersion);
    static SchemaDriftResult failed(const QString &szVersion, const QString &szError);

    Status status() const { return m_eStatus; }
    // The version whose expected schema was (or would have been) compared.
    QString version() const { return m_szVersion; }
    // False only for a version without an expected schema.
    bool isKnownVersion() const { return m_eStatus != UnknownVersion; }
    bool isCompared() const { return m_eStatus == Compared; }
    // Compared, with something missing or changed.
    bool hasDrift() const;

    // Each sorted by kind and object.
    const QList<SchemaDifference> &missing() const { return m_lstMissing; }
    const QList<SchemaDifference> &changed() const { return m_lstChanged; }
    const QList<SchemaDifference> &extra() const { return m_lstExtra; }

    // Why nothing was compared, in English; empty for a comparison.
    QString errorText() const { return m_szError; }
    // One line in English: the counts of a comparison, or the error text.
    QString summary() const;

private:
    Status m_eStatus = Failed;
    QString m_szVersion;
    QString m_szError;
    QList<SchemaDifference> m_lstMissing;
    QList<SchemaDifference> m_lstChanged;
    QList<SchemaDifference> m_lstExtra;
};
