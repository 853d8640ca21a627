#include "CnfDevice.h"

#include <QSettings>

namespace {

const QString kKeyTwainTransferMechanism = QStringLiteral("device/twainTransferMechanism");
const QString kKeyKivSensorUsbEnabled = QStringLiteral("device/kivSensorUsbEnabled");
const QString kKeyKivSensorNetEnabled = QStringLiteral("device/kivSensorNetEnabled");
const QString kKeyKivSensorTwainEnabled = QStringLiteral("device/kivSensorTwainEnabled");
const QString kKeyKivPanDevice = QStringLiteral("device/kivPanDevice");

constexpr qint32 kDefaultTwainTransferMechanism = 0;
constexpr bool kDefaultKivSensorUsbEnabled = false;
constexpr bool kDefaultKivSensorNetEnabled = false;
constexpr bool kDefaultKivSensorTwainEnabled = false;
constexpr qint32 kDefaultKivPanDevice = 0;

} // namespace

CnfDevice::CnfDevice()
    : m_nTwainTransferMechanism(kDefaultTwainTransferMechanism), m_bKivSensorUsbEnabled(kDefaultKivSensorUsbEnabled),
      m_bKivSensorNetEnabled(kDefaultKivSensorNetEnabled), m_bKivSensorTwainEnabled(kDefaultKivSensorTwainEnabled),
      m_nKivPanDevice(kDefaultKivPanDevice)
{
}

CnfDevice::~CnfDevice() = default;

bool CnfDevice::load(QSettings &settings)
{
    m_nTwainTransferMechanism = settings.value(kKeyTwainTransferMechanism, kDefaultTwainTransferMechanism).toInt();
    m_bKivSensorUsbEnabled = settings.value(kKeyKivSensorUsbEnabled, kDefaultKivSensorUsbEnabled).toBool();
    m_bKivSensorNetEnabled = settings.value(kKeyKivSensorNetEnabled, kDefaultKivSensorNetEnabled).toBool();
    m_bKivSensorTwainEnabled = settings.value(kKeyKivSensorTwainEnabled, kDefaultKivSensorTwainEnabled).toBool();
    m_nKivPanDevice = settings.value(kKeyKivPanDevice, kDefaultKivPanDevice).toInt();
    return true;
}

bool CnfDevice::save(QSettings &settings) const
{
    settings.setValue(kKeyTwainTransferMechanism, m_nTwainTransferMechanism);
    settings.setValue(kKeyKivSensorUsbEnabled, m_bKivSensorUsbEnabled);
    settings.setValue(kKeyKivSensorNetEnabled, m_bKivSensorNetEnabled);
    settings.setValue(kKeyKivSensorTwainEnabled, m_bKivSensorTwainEnabled);
    settings.setValue(kKeyKivPanDevice, m_nKivPanDevice);
    return true;
}

int CnfDevice::twainTransferMechanism() const
{
    return m_nTwainTransferMechanism;
}

bool CnfDevice::kivSensorUsbEnabled() const
{
    return m_bKivSensorUsbEnabled;
}

bool CnfDevice::kivSensorNetEnabled() const
{
    return m_bKivSensorNetEnabled;
}

bool CnfDevice::kivSensorTwainEnabled() const
{
    return m_bKivSensorTwainEnabled;
}

int CnfDevice::kivPanDevice() const
{
    return m_nKivPanDevice;
}
