#include "CnfIPC.h"

#include <QSettings>

namespace {

const QString kKeyPmsPort = QStringLiteral("IPC/pmsPort");
const QString kKeyOlderPmsPort = QStringLiteral("PMS/ipcPort");
const QString kKeyKivDicomToolkitPort = QStringLiteral("IPC/kivDicomToolkitPort");
const QString kKeyKivConfiguratorPort = QStringLiteral("IPC/kivConfiguratorPort");

constexpr qint32 kDefaultPmsPort = 50000;
constexpr qint32 kDefaultKivDicomToolkitPort = 60000;
constexpr qint32 kDefaultKivConfiguratorPort = 60100;

} // namespace

CnfIPC::CnfIPC()
    : m_nPmsPort(kDefaultPmsPort), m_nKivDicomToolkitPort(kDefaultKivDicomToolkitPort),
      m_nKivConfiguratorPort(kDefaultKivConfiguratorPort)
{
}

CnfIPC::~CnfIPC() = default;

bool CnfIPC::load(QSettings &settings)
{
    const qint32 nOlderPmsPort = settings.value(kKeyOlderPmsPort, 0).toInt();
    m_nPmsPort = nOlderPmsPort != 0 ? nOlderPmsPort : settings.value(kKeyPmsPort, kDefaultPmsPort).toInt();
    m_nKivDicomToolkitPort = settings.value(kKeyKivDicomToolkitPort, kDefaultKivDicomToolkitPort).toInt();
    m_nKivConfiguratorPort = settings.value(kKeyKivConfiguratorPort, kDefaultKivConfiguratorPort).toInt();
    return true;
}

bool CnfIPC::save(QSettings &settings) const
{
    settings.setValue(kKeyPmsPort, m_nPmsPort);
    settings.setValue(kKeyKivDicomToolkitPort, m_nKivDicomToolkitPort);
    settings.setValue(kKeyKivConfiguratorPort, m_nKivConfiguratorPort);
    settings.remove(kKeyOlderPmsPort);
    return true;
}

int CnfIPC::pmsPort() const
{
    return m_nPmsPort;
}

int CnfIPC::kivDicomToolkitPort() const
{
    return m_nKivDicomToolkitPort;
}

int CnfIPC::kivConfiguratorPort() const
{
    return m_nKivConfiguratorPort;
}
