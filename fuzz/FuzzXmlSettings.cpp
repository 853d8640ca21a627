// libFuzzer harness of the XML settings reader. What it reads must survive a
// write and a second read unchanged: the same keys, and the same values up to
// the line-end normalisation that every XML reader applies.

#include "FuzzSupport.h"
#include "XmlFormat.h"

#include <QBuffer>

#include <cstdlib>

namespace {

QString normalizedLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool readFrom(QByteArray bytes, QSettings::SettingsMap &map)
{
    QBuffer buffer(&bytes);
    return buffer.open(QIODevice::ReadOnly) && XmlFormat::readXmlFile(buffer, map);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QSettings::SettingsMap map;
    if (!readFrom(fuzz::input(data, size), map))
        return 0;

    QByteArray written;
    {
        QBuffer buffer(&written);
        if (!buffer.open(QIODevice::WriteOnly) || !XmlFormat::writeXmlFile(buffer, map))
            std::abort();
    }
    QSettings::SettingsMap again;
    if (!readFrom(written, again) || again.keys() != map.keys())
        std::abort();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (again.value(it.key()).toString() != normalizedLineEnds(it.value().toString()))
            std::abort();
    }
    return 0;
}
