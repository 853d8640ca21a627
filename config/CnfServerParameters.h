#pragma once

#include "CnfSection.h"

// Transfer parameters of the suite's server, in the XML settings file. This
// program only carries them through. The chunk is 100 MiB by default.
#define KIV_CNF_SERVERPARAMETERS_KEYS(X)                                                                               \
    X(quint32, chunkSize, "server/chunkSize", 104857600u)                                                              \
    X(bool, compressedTraffic, "server/compressedTraffic", true)                                                       \
    X(bool, transmitBeforeRead, "server/transmitBeforeRead", true)

class CnfServerParameters : public CnfSection<CnfServerParameters>
{
    KIV_CNF_KEYS(CnfServerParameters, KIV_CNF_SERVERPARAMETERS_KEYS)

public:
    CnfServerParameters() { resetToDefaults(); }
};

#undef KIV_CNF_SERVERPARAMETERS_KEYS
