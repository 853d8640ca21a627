#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>
#include <QVersionNumber>

class QIODevice;

// Checks a backup written by "pg_dump --format=tar" before it is trusted, with
// neither a server nor a client program: pg_restore takes a tar archive whose
// members were cut or lost without complaint and restores what is left.
//
// Three layers are checked, in this order, and the first fault found is the
// reason of the refusal:
// - the tar structure: every header's checksum and size (octal or base-256),
//   every member whole, the two zero blocks that end the archive;
// - pg_dump's own header at the start of the member "toc.dat": the magic
//   "PGDMP", the archive format version (1.12 to 1.16, written by pg_dump 9.0
//   to 17; a newer one is refused, not guessed at), integer sizes, the tar
//   format, the database name and the recorded server and pg_dump versions;
// - the table of contents in "toc.dat": every entry with data has its member
//   in the archive ("3342.dat"); the large objects of a BLOBS entry are
//   listed in "blobs.toc" (format 1.16: "blobs_<dump id>.toc"), and every
//   "blob_<oid>.dat" listed there is a member of the archive; every large
//   object the table of contents records is listed there.
//
// The device is read with seeks (a QFile, a QBuffer), and only read.
class BackupArchive
{
public:
    // One entry of the archive's table of contents.
    struct Entry
    {
        int nDumpId = 0;
        // pg_dump's kind of object: "TABLE", "TABLE DATA", "BLOB", "BLOBS", ...
        QString szDesc;
        QString szNamespace;
        QString szTag;
        // The tar member of its data as the table of contents names it, or
        // empty. BLOBS entries name a member that pg_dump never writes: their
        // data is the blobs TOC member and the members it lists.
        QString szMember;
        bool bHasData = false;
        // pg_restore restores the entry by default (and "pg_restore --list"
        // lists it); the entries that only set up the session and the
        // database's own entries are not.
        bool bRestored = false;
    };

    // The range of archive format versions this class reads.
    static QVersionNumber oldestKnownFormat();
    static QVersionNumber newestKnownFormat();

    // Reads and checks the archive; false when it is refused (see reason()).
    // The device must be open for reading.
    bool read(QIODevice &device);
    bool readFile(const QString &szPath);

    bool isOk() const;
    // One English line naming what is missing or damaged; empty when ok.
    QString reason() const;

    // What the archive's header says (filled as far as it was read).
    QVersionNumber formatVersion() const;
    int intSize() const;
    int offsetSize() const;
    QString databaseName() const;
    QString serverVersion() const;
    QString dumpVersion() const;
    // Local time of the dump, as pg_dump recorded it.
    QDateTime createdAt() const;

    // The entries pg_restore restores by default: their number is what
    // "pg_restore --list" lists.
    int entryCount() const;
    // The large objects the restore creates, one lock each in a single
    // transaction (format 1.16 groups them into BLOB METADATA entries).
    int largeObjectCount() const;
    // Every entry of the table of contents, in the archive's order.
    const QVector<Entry> &entries() const;

private:
    // A tar member: where its data starts in the device, and its size.
    struct Member
    {
        qint64 nOffset = 0;
        qint64 nSize = 0;
    };
    class Reader;

    bool refuse(const QString &szReason);
    bool readTar(QIODevice &device);
    bool readHeader(Reader &reader);
    bool readEntries(Reader &reader);
    bool checkData(QIODevice &device);
    bool checkLargeObjects(QIODevice &device, const Entry &entry, const QString &szTocMember, QSet<quint32> &listed);

    // The members by name; a name that occurs twice keeps its first member,
    // the one pg_restore reads.
    QHash<QString, Member> m_members;
    QVector<Entry> m_entries;
    QString m_szReason;
    QVersionNumber m_formatVersion;
    int m_nIntSize = 0;
    int m_nOffsetSize = 0;
    QString m_szDatabaseName;
    QString m_szServerVersion;
    QString m_szDumpVersion;
    QDateTime m_createdAt;
    int m_nEntryCount = 0;
    int m_nLargeObjectCount = 0;
    // The oids of the large objects the table of contents records.
    QVector<quint32> m_largeObjects;
    bool m_bRead = false;
};
