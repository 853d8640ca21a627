#pragma once

#include "CnfSection.h"

// Acquisition devices of the suite, at the root of the native store. This
// program only carries them through.
#define KIV_CNF_DEVICE_KEYS(X)                                                                                         \
    X(int, twainTransferMechanism, "device/twainTransferMechanism", 0)                                                 \
    X(bool, kivSensorUsbEnabled, "device/kivSensorUsbEnabled", false)                                                  \
    X(bool, kivSensorNetEnabled, "device/kivSensorNetEnabled", false)                                                  \
    X(bool, kivSensorTwainEnabled, "device/kivSensorTwainEnabled", false)                                              \
    X(int, kivPanDevice, "device/kivPanDevice", 0)

class CnfDevice : public CnfSection<CnfDevice>
{
    KIV_CNF_KEYS(CnfDevice, KIV_CNF_DEVICE_KEYS)

public:
    CnfDevice() { resetToDefaults(); }
};

#undef KIV_CNF_DEVICE_KEYS
