#include "CnfIPC.h"

namespace {

const QString kKeyOlderPmsPort = QStringLiteral("PMS/ipcPort");

} // namespace

const CnfTable<CnfIPC> &CnfIPC::table()
{
    static const CnfTable<CnfIPC> s_table{
        {"IPC/pmsPort", &CnfIPC::m_nPmsPort, 50000},
        {"IPC/kivDicomToolkitPort", &CnfIPC::m_nKivDicomToolkitPort, 60000},
        {"IPC/kivConfiguratorPort", &CnfIPC::m_nKivConfiguratorPort, 60100},
    };
    return s_table;
}

bool CnfIPC::load(QSettings &settings)
{
    table().load(settings, *this);
    const qint32 nOlderPmsPort = settings.value(kKeyOlderPmsPort, 0).toInt();
    if (nOlderPmsPort != 0)
        m_nPmsPort = nOlderPmsPort;
    return true;
}

bool CnfIPC::save(QSettings &settings) const
{
    table().save(settings, *this);
    settings.remove(kKeyOlderPmsPort);
    return true;
}
