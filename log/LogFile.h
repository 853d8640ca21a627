#pragma once

#include <QString>

class QFile;

// One log file of the log file manager: where it lives, how it is limited and
// whether it is written as text or encrypted. The record owns its QFile.
class LogFile
{
public:
    LogFile(int index,
            const QString &tag,
            const QString &folder,
            const QString &name,
            const QString &extension,
            qint64 maxSizeMb,
            int backups,
            bool encrypted,
            bool enabled);
    ~LogFile();

    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    int index() const { return m_index; }
    QFile *file() const { return m_file; }
    const QString &tag() const { return m_tag; }
    const QString &folder() const { return m_folder; }
    const QString &name() const { return m_name; }
    const QString &extension() const { return m_extension; }
    qint64 maxSize() const { return m_maxSize; }
    int backups() const { return m_backups; }
    bool enabled() const { return m_enabled; }
    bool encrypted() const { return m_encrypted; }
    bool hasContent() const { return m_hasContent; }
    void setHasContent(bool hasContent) { m_hasContent = hasContent; }

    // folder + name + "." + extension
    QString fullPath() const;
    // Tag and index digits that start every line of this record, e.g. "KIV00000001".
    const QString &linePrefix() const { return m_linePrefix; }

private:
    int m_index = 0;
    QFile *m_file = nullptr;
    QString m_tag = QStringLiteral("---");
    QString m_folder;
    QString m_name;
    QString m_extension;
    qint64 m_maxSize = 0; // bytes
    int m_backups = 0;    // 0: no limit
    bool m_enabled = false;
    bool m_encrypted = false;
    bool m_hasContent = false; // byte order mark or header already in the file
    QString m_linePrefix;
};
