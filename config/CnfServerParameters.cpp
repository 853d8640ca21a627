#include "CnfServerParameters.h"

#include <QSettings>

namespace {

const QString kKeyChunkSize = QStringLiteral("server/chunkSize");
const QString kKeyCompressedTraffic = QStringLiteral("server/compressedTraffic");
const QString kKeyTransmitBeforeRead = QStringLiteral("server/transmitBeforeRead");

constexpr quint32 kDefaultChunkSize = 104857600u;
constexpr bool kDefaultCompressedTraffic = true;
constexpr bool kDefaultTransmitBeforeRead = true;

} // namespace

CnfServerParameters::CnfServerParameters()
    : m_nChunkSize(kDefaultChunkSize), m_bCompressedTraffic(kDefaultCompressedTraffic),
      m_bTransmitBeforeRead(kDefaultTransmitBeforeRead)
{
}

CnfServerParameters::~CnfServerParameters() = default;

bool CnfServerParameters::load(QSettings &settings)
{
    m_nChunkSize = settings.value(kKeyChunkSize, kDefaultChunkSize).toUInt();
    m_bCompressedTraffic = settings.value(kKeyCompressedTraffic, kDefaultCompressedTraffic).toBool();
    m_bTransmitBeforeRead = settings.value(kKeyTransmitBeforeRead, kDefaultTransmitBeforeRead).toBool();
    return true;
}

bool CnfServerParameters::save(QSettings &settings) const
{
    settings.setValue(kKeyChunkSize, m_nChunkSize);
    settings.setValue(kKeyCompressedTraffic, m_bCompressedTraffic);
    settings.setValue(kKeyTransmitBeforeRead, m_bTransmitBeforeRead);
    return true;
}

quint32 CnfServerParameters::chunkSize() const
{
    return m_nChunkSize;
}

bool CnfServerParameters::compressedTraffic() const
{
    return m_bCompressedTraffic;
}

bool CnfServerParameters::transmitBeforeRead() const
{
    return m_bTransmitBeforeRead;
}
