#include "LogFile.h"

#include <QFile>

LogFile::LogFile(int index,
                 const QString &tag,
                 const QString &folder,
                 const QString &name,
                 const QString &extension,
                 qint64 maxSizeMb,
                 int backups,
                 bool encrypted,
                 bool enabled)
    : m_index(index), m_file(new QFile), m_folder(folder), m_name(name), m_extension(extension),
      m_maxSize(maxSizeMb * 1024 * 1024), m_backups(backups), m_enabled(enabled), m_encrypted(encrypted)
{
    // Shorter tags keep "---"; longer ones are cut to three characters.
    if (tag.length() > 2)
        m_tag = tag.left(3);
    // The index in base 2, at least eight digits.
    m_linePrefix = m_tag + QStringLiteral("%1").arg(m_index, 8, 2, QLatin1Char('0'));
}

LogFile::~LogFile()
{
    delete m_file;
}

QString LogFile::fullPath() const
{
    return QStringLiteral("%1%2.%3").arg(m_folder, m_name, m_extension);
}
