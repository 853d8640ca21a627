#include "CnfServerParameters.h"

const CnfTable<CnfServerParameters> &CnfServerParameters::table()
{
    static const CnfTable<CnfServerParameters> s_table{
        // 100 MiB
        {"server/chunkSize", &CnfServerParameters::m_nChunkSize, 104857600u},
        {"server/compressedTraffic", &CnfServerParameters::m_bCompressedTraffic, true},
        {"server/transmitBeforeRead", &CnfServerParameters::m_bTransmitBeforeRead, true},
    };
    return s_table;
}
