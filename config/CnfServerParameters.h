#pragma once

#include "CnfTable.h"

// Transfer parameters of the suite's server, in the XML settings file. This
// program only carries them through.
class CnfServerParameters
{
public:
    CnfServerParameters() { table().resetToDefaults(*this); }
    virtual ~CnfServerParameters() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    quint32 chunkSize() const { return m_nChunkSize; }
    bool compressedTraffic() const { return m_bCompressedTraffic; }
    bool transmitBeforeRead() const { return m_bTransmitBeforeRead; }

private:
    static const CnfTable<CnfServerParameters> &table();

    quint32 m_nChunkSize;
    bool m_bCompressedTraffic;
    bool m_bTransmitBeforeRead;
};
