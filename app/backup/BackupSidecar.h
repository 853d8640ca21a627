#pragma once

#include <QString>

// The checksum file beside a backup: "<backup>.sha256", one line in the
// format of sha256sum ("<64 hex digits>  <file name>\n", the name without
// its folder), so that "sha256sum -c" run in the backup folder checks the
// backup too. The file is read in pieces, never whole into memory.
class BackupSidecar
{
public:
    enum class State
    {
        // There is no checksum file.
        Absent,
        Matches,
        Mismatch,
        // The checksum file cannot be read, is empty, is not in sha256sum's
        // format or is about another file.
        SidecarUnreadable,
        // The backup itself cannot be read.
        FileUnreadable
    };

    struct Check
    {
        State eState = State::Absent;
        // The checksum the checksum file gives, and the one of the backup
        // (lower-case hex; empty when unknown).
        QString szExpected;
        QString szActual;
        // One English sentence for the log.
        QString szReason;

        bool matches() const { return eState == State::Matches; }
    };

    static QString sidecarPath(const QString &szFile);

    // SHA-256 of a file as lower-case hex; false (and the reason) when it
    // cannot be read.
    static bool sha256(const QString &szFile, QString &szHash, QString &szError);
    // Writes the checksum file of szFile (replacing an old one whole); its
    // checksum in *pszHash.
    static bool write(const QString &szFile, QString &szError, QString *pszHash = nullptr);
    // Writes the checksum file of szFile with a checksum computed before
    // (sha256()), while the file was under another name.
    static bool writeWithChecksum(const QString &szFile, const QString &szHash, QString &szError);
    // Checks szFile against its checksum file. Accepts what sha256sum writes
    // in text and in binary mode ("<hash> *<name>"), CRLF line ends and its
    // escaped names.
    static Check verify(const QString &szFile);
};
