#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVersionNumber>

// Writes pg_dump tar archives byte by byte for the tests of the archive
// check: toc.dat with pg_dump's header and table of contents in a given
// format version, tar members with their headers, the end blocks.
class TestArchive
{
public:
    struct Entry
    {
        int nDumpId = 0;
        QString szDesc;
        QString szNamespace;
        QString szTag;
        QByteArray definition;
        bool bHasData = false;
        // The member the tar format's part of the entry names.
        QString szMember;
    };

    explicit TestArchive(const QVersionNumber &version);

    void setIntSize(int nIntSize);
    void setFormat(int nFormat);
    void addEntry(const Entry &entry);

    // The member toc.dat.
    QByteArray tocData() const;

    // The entries of a small database "pelq" (a table with data, an empty
    // table, a sequence, two large objects) as pg_dump of the version writes
    // them, and the archive's members in pg_dump's order.
    static TestArchive typical(const QVersionNumber &version);
    static QList<QPair<QString, QByteArray>> typicalMembers(const QVersionNumber &version);
    // The whole archive of those members, without the named ones.
    static QByteArray typicalArchive(const QVersionNumber &version, const QStringList &lstLeftOut = {});

    // A tar member: its header block and its data padded to whole blocks.
    // With bBase256 the size is written base-256, as for members of 8 GiB.
    static QByteArray tarMember(const QString &szName, const QByteArray &data, bool bBase256 = false);
    // The two zero blocks at the end of a tar archive.
    static QByteArray tarEnd();
    static QByteArray tar(const QList<QPair<QString, QByteArray>> &lstMembers);

private:
    void writeInt(QByteArray &out, qint64 nValue) const;
    void writeString(QByteArray &out, const QByteArray &value, bool bNull = false) const;

    QVersionNumber m_version;
    int m_nIntSize = 4;
    int m_nFormat = 3;
    QList<Entry> m_lstEntries;
};
