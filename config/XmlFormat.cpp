#include "XmlFormat.h"

#include "AppContext.h"

#include <QIODevice>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString kRootElement = QStringLiteral("Settings");

// A file past these limits is refused as unreadable. The suite's settings
// keys are a few parts deep and a few dozen characters long, and the file
// holds some dozens of them. Without the limits the keys of a small forged
// file (every element's text is stored under the full path to it) cost memory
// that grows with the square of the file's size. A file that declares
// entities is refused too: settings files declare none, and a few references
// to a declared entity turn 100 KB of file into hundreds of MB of text.
constexpr int kMaxDepth = 32;
constexpr int kMaxKeyLength = 1024;
constexpr int kMaxKeys = 10000;

} // namespace

XmlFormat::~XmlFormat() = default;

QSettings::Format XmlFormat::format()
{
    static const QSettings::Format s_format = [] {
        const QSettings::Format fmt = QSettings::registerFormat(
            QStringLiteral("xml"), &XmlFormat::readXmlFile, &XmlFormat::writeXmlFile, Qt::CaseSensitive);
        if (fmt == QSettings::InvalidFormat)
            qWarning("The XML settings format could not be registered.");
        return fmt;
    }();
    return s_format;
}

std::unique_ptr<QSettings> XmlFormat::open(const QString &szFolder)
{
    const QSettings::Format fmt = format();
    if (fmt == QSettings::InvalidFormat)
        return nullptr;
    QSettings::setPath(fmt, QSettings::UserScope, szFolder);
    return std::make_unique<QSettings>(
        fmt, QSettings::UserScope, AppContext::organizationName(), AppContext::applicationName());
}

bool XmlFormat::readXmlFile(QIODevice &device, QSettings::SettingsMap &map)
{
    QXmlStreamReader reader(&device);
    // The key of the innermost open element, and for each open element the
    // key's length before its part was added (-1 for the document's root
    // "Settings", which adds no part, so that a nested element of that name
    // keeps its place in the key and the stack stays balanced).
    QString szKey;
    QVector<int> keyLengths;
    int nParts = 0;
    // The reader may hand one text over in pieces (entities, CDATA sections):
    // they are gathered here and stored once, when the element's text ends.
    QString szText;
    bool bHasText = false;
    QString szRefusal;

    const auto storeText = [&] {
        if (bHasText) {
            map.insert(szKey, szText);
            szText.clear();
            bHasText = false;
        }
    };

    while (!reader.atEnd() && szRefusal.isEmpty()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty())
                szRefusal = QStringLiteral("declares entities");
            break;
        case QXmlStreamReader::StartElement: {
            storeText();
            if (keyLengths.isEmpty() && reader.name() == kRootElement) {
                keyLengths.append(-1);
                break;
            }
            keyLengths.append(szKey.size());
            if (!szKey.isEmpty())
                szKey += QLatin1Char('/');
            szKey += reader.name();
            if (++nParts > kMaxDepth)
                szRefusal = QStringLiteral("nests elements more than %1 deep").arg(kMaxDepth);
            else if (szKey.size() > kMaxKeyLength)
                szRefusal = QStringLiteral("has a key longer than %1 characters").arg(kMaxKeyLength);
            break;
        }
        case QXmlStreamReader::Characters:
            // Text directly inside the root has no key to belong to. An empty
            // or blank CDATA section is a value, white space between elements is not.
            if (reader.isWhitespace() || szKey.isEmpty())
                break;
            szText += reader.text();
            bHasText = true;
            break;
        case QXmlStreamReader::EndElement:
            storeText();
            if (!keyLengths.isEmpty()) {
                const int nLength = keyLengths.takeLast();
                if (nLength >= 0) {
                    szKey.truncate(nLength);
                    --nParts;
                }
            }
            break;
        default:
            break;
        }
        if (map.size() > kMaxKeys)
            szRefusal = QStringLiteral("has more than %1 keys").arg(kMaxKeys);
    }

    if (!szRefusal.isEmpty()) {
        qWarning("The XML settings file is refused: it %s.", qUtf8Printable(szRefusal));
        return false;
    }
    if (reader.hasError()) {
        qWarning("%s", qUtf8Printable(reader.errorString()));
        return false;
    }
    return true;
}

bool XmlFormat::writeXmlFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    QXmlStreamWriter writer(&device);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(kRootElement);

    QStringList previousParts;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        int nShared = 0;
        while (nShared < parts.size() && nShared < previousParts.size() &&
               parts.at(nShared) == previousParts.at(nShared))
            ++nShared;
        for (int i = previousParts.size(); i > nShared; --i)
            writer.writeEndElement();
        for (int i = nShared; i < parts.size(); ++i)
            writer.writeStartElement(parts.at(i));
        // Plain text that is empty or blank reads back as no key at all; a
        // CDATA section keeps it a value.
        const QString szValue = it.value().toString();
        if (szValue.trimmed().isEmpty())
            writer.writeCDATA(szValue);
        else
            writer.writeCharacters(szValue);
        previousParts = parts;
    }
    for (int i = previousParts.size(); i > 0; --i)
        writer.writeEndElement();

    writer.writeEndElement();
    writer.writeEndDocument();
    // A failed write is reported so that QSettings keeps the previous file.
    return !writer.hasError();
}
