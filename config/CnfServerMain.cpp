#include "CnfServerMain.h"

namespace {

const QString kKeyPortRange = QStringLiteral("server/portRange");
const QString kPortRangeFormat = QStringLiteral("%1:%2");

constexpr qint32 kDefaultPortRangeFirst = 51001;
constexpr qint32 kDefaultPortRangeSecond = 51020;

} // namespace

CnfServerMain::CnfServerMain() : m_portRangeFirst(kDefaultPortRangeFirst), m_portRangeSecond(kDefaultPortRangeSecond)
{
    resetToDefaults();
}

bool CnfServerMain::load(QSettings &settings)
{
    CnfSection::load(settings);
    const QString szPortRange = settings.value(kKeyPortRange, QString()).toString();
    // A range that was never stored keeps its defaults: taking it as 0:0
    // would write a range without ports into the server's file at the next
    // save. A stored range is taken as it is.
    if (szPortRange.isEmpty()) {
        m_portRangeFirst = kDefaultPortRangeFirst;
        m_portRangeSecond = kDefaultPortRangeSecond;
        return true;
    }
    const int nColon = szPortRange.indexOf(QLatin1Char(':'));
    m_portRangeFirst = szPortRange.left(nColon).toInt();
    m_portRangeSecond = nColon < 0 ? 0 : szPortRange.mid(nColon + 1).toInt();
    return true;
}

bool CnfServerMain::save(QSettings &settings) const
{
    CnfSection::save(settings);
    settings.setValue(kKeyPortRange, kPortRangeFormat.arg(m_portRangeFirst).arg(m_portRangeSecond));
    return true;
}
