#pragma once

#include <QSettings>

#include <memory>

class QIODevice;

// The suite's XML settings format: every key "a/b/c" is stored as nested
// elements <a><b><c>value</c></b></a> below the root element "Settings";
// consecutive keys share the elements of their common leading parts.
class XmlFormat
{
public:
    virtual ~XmlFormat();

    // Registers the format with QSettings on first use (extension "xml",
    // case-sensitive keys) and returns it; QSettings::InvalidFormat if Qt
    // refused the registration.
    static QSettings::Format format();

    // Sets the user-scope path of the format to szFolder and opens the file
    // "<szFolder>/<organisation>/<application>.xml". The path is process-wide
    // state, so it is set again before every use. nullptr if the format could
    // not be registered.
    static std::unique_ptr<QSettings> open(const QString &szFolder);

    // Reader and writer handed to QSettings::registerFormat. The reader
    // refuses, as unreadable, a file that is not well-formed, nests elements
    // more than 32 deep, has a key longer than 1024 characters or more than
    // 10000 keys, or declares entities; QSettings then drops what was read.
    // The writer stores an empty or blank value as a CDATA section, so that
    // it reads back as a value.
    static bool readXmlFile(QIODevice &device, QSettings::SettingsMap &map);
    static bool writeXmlFile(QIODevice &device, const QSettings::SettingsMap &map);

private:
    XmlFormat() = default;
};
