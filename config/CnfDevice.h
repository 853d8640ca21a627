#pragma once

#include <QtGlobal>

class QSettings;

// Acquisition devices of the suite, at the root of the native store. This
// program only carries them through.
class CnfDevice
{
public:
    CnfDevice();
    virtual ~CnfDevice();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    int twainTransferMechanism() const;
    bool kivSensorUsbEnabled() const;
    bool kivSensorNetEnabled() const;
    bool kivSensorTwainEnabled() const;
    int kivPanDevice() const;

private:
    qint32 m_nTwainTransferMechanism;
    bool m_bKivSensorUsbEnabled;
    bool m_bKivSensorNetEnabled;
    bool m_bKivSensorTwainEnabled;
    qint32 m_nKivPanDevice;
};
