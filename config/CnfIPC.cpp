#include "CnfIPC.h"

namespace {

const QString kKeyOlderPmsPort = QStringLiteral("PMS/ipcPort");

} // namespace

bool CnfIPC::load(QSettings &settings)
{
    CnfSection::load(settings);
    const qint32 nOlderPmsPort = settings.value(kKeyOlderPmsPort, 0).toInt();
    if (nOlderPmsPort != 0)
        m_pmsPort = nOlderPmsPort;
    return true;
}

bool CnfIPC::save(QSettings &settings) const
{
    CnfSection::save(settings);
    settings.remove(kKeyOlderPmsPort);
    return true;
}
