#pragma once

#include <QtGlobal>

class QSettings;

// Transfer parameters of the suite's server, in the XML settings file. This
// program only carries them through.
class CnfServerParameters
{
public:
    CnfServerParameters();
    virtual ~CnfServerParameters();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    quint32 chunkSize() const;
    bool compressedTraffic() const;
    bool transmitBeforeRead() const;

private:
    quint32 m_nChunkSize;
    bool m_bCompressedTraffic;
    bool m_bTransmitBeforeRead;
};
