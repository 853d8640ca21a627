#include "CnfServerMain.h"

#include <QSettings>
#include <QString>

namespace {

const QString kKeyManagementPort = QStringLiteral("server/managementPort");
const QString kKeyPortRange = QStringLiteral("server/portRange");
const QString kPortRangeFormat = QStringLiteral("%1:%2");

constexpr qint32 kDefaultManagementPort = 51000;
constexpr qint32 kDefaultPortRangeFirst = 51001;
constexpr qint32 kDefaultPortRangeSecond = 51020;

} // namespace

CnfServerMain::CnfServerMain()
    : m_nManagementPort(kDefaultManagementPort), m_nPortRangeFirst(kDefaultPortRangeFirst),
      m_nPortRangeSecond(kDefaultPortRangeSecond)
{
}

CnfServerMain::~CnfServerMain() = default;

bool CnfServerMain::load(QSettings &settings)
{
    m_nManagementPort = settings.value(kKeyManagementPort, kDefaultManagementPort).toInt();
    const QString szPortRange = settings.value(kKeyPortRange, QString()).toString();
    // A range that was never stored keeps its defaults: taking it as 0:0
    // would write a range without ports into the server's file at the next
    // save. A stored range is taken as it is.
    if (szPortRange.isEmpty()) {
        m_nPortRangeFirst = kDefaultPortRangeFirst;
        m_nPortRangeSecond = kDefaultPortRangeSecond;
        return true;
    }
    const int nColon = szPortRange.indexOf(QLatin1Char(':'));
    m_nPortRangeFirst = szPortRange.left(nColon).toInt();
    m_nPortRangeSecond = nColon < 0 ? 0 : szPortRange.mid(nColon + 1).toInt();
    return true;
}

bool CnfServerMain::save(QSettings &settings) const
{
    settings.setValue(kKeyManagementPort, m_nManagementPort);
    settings.setValue(kKeyPortRange, kPortRangeFormat.arg(m_nPortRangeFirst).arg(m_nPortRangeSecond));
    return true;
}

int CnfServerMain::managementPort() const
{
    return m_nManagementPort;
}

int CnfServerMain::portRangeFirst() const
{
    return m_nPortRangeFirst;
}

int CnfServerMain::portRangeSecond() const
{
    return m_nPortRangeSecond;
}
