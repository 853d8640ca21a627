#include "CnfDevice.h"

const CnfTable<CnfDevice> &CnfDevice::table()
{
    static const CnfTable<CnfDevice> s_table{
        {"device/twainTransferMechanism", &CnfDevice::m_nTwainTransferMechanism, 0},
        {"device/kivSensorUsbEnabled", &CnfDevice::m_bKivSensorUsbEnabled, false},
        {"device/kivSensorNetEnabled", &CnfDevice::m_bKivSensorNetEnabled, false},
        {"device/kivSensorTwainEnabled", &CnfDevice::m_bKivSensorTwainEnabled, false},
        {"device/kivPanDevice", &CnfDevice::m_nKivPanDevice, 0},
    };
    return s_table;
}
