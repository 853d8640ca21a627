#pragma once

#include "CnfTable.h"

// Acquisition devices of the suite, at the root of the native store. This
// program only carries them through.
class CnfDevice
{
public:
    CnfDevice() { table().resetToDefaults(*this); }
    virtual ~CnfDevice() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    int twainTransferMechanism() const { return m_nTwainTransferMechanism; }
    bool kivSensorUsbEnabled() const { return m_bKivSensorUsbEnabled; }
    bool kivSensorNetEnabled() const { return m_bKivSensorNetEnabled; }
    bool kivSensorTwainEnabled() const { return m_bKivSensorTwainEnabled; }
    int kivPanDevice() const { return m_nKivPanDevice; }

private:
    static const CnfTable<CnfDevice> &table();

    qint32 m_nTwainTransferMechanism;
    bool m_bKivSensorUsbEnabled;
    bool m_bKivSensorNetEnabled;
    bool m_bKivSensorTwainEnabled;
    qint32 m_nKivPanDevice;
};
