#include "XmlFormat.h"

#include "AppContext.h"

#include <QIODevice>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString kRootElement = QStringLiteral("Settings");

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
    QStringList elements;
    // Whether each open element contributed a part to the key: only the
    // document's root "Settings" does not, so that a nested element of that
    // name keeps its place in the key and the stack stays balanced.
    QVector<bool> pushed;
    QString szCurrentKey;

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const bool bRoot = pushed.isEmpty() && reader.name() == kRootElement;
            if (!bRoot)
                elements.append(reader.name().toString());
            pushed.append(!bRoot);
            szCurrentKey.clear();
            break;
        }
        case QXmlStreamReader::Characters: {
            // Text directly inside the root has no key to belong to.
            if (reader.isWhitespace() || elements.isEmpty())
                break;
            const QString szKey = elements.join(QLatin1Char('/'));
            // The reader may hand one text over in pieces (entities, CDATA
            // sections); pieces of the same element are joined.
            if (szKey == szCurrentKey)
                map[szKey] = map.value(szKey).toString() + reader.text().toString();
            else
                map[szKey] = reader.text().toString();
            szCurrentKey = szKey;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!pushed.isEmpty() && pushed.takeLast() && !elements.isEmpty())
                elements.removeLast();
            szCurrentKey.clear();
            break;
        default:
            break;
        }
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
        writer.writeCharacters(it.value().toString());
        previousParts = parts;
    }
    for (int i = previousParts.size(); i > 0; --i)
        writer.writeEndElement();

    writer.writeEndElement();
    writer.writeEndDocument();
    // A failed write is reported so that QSettings keeps the previous file.
    return !writer.hasError();
}
