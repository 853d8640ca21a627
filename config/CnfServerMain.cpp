#include "CnfServerMain.h"

namespace {

const QString kKeyPortRange = QStringLiteral("server/portRange");
const QString kPortRangeFormat = QStringLiteral("%1:%2");

constexpr qint32 kDefaultPortRangeFirst = 51001;
constexpr qint32 kDefaultPortRangeSecond = 51020;

} // namespace

CnfServerMain::CnfServerMain() : m_nPortRangeFirst(kDefaultPortRangeFirst), m_nPortRangeSecond(kDefaultPortRangeSecond)
{
    table().resetToDefaults(*this);
}

const CnfTable<CnfServerMain> &CnfServerMain::table()
{
    static const CnfTable<CnfServerMain> s_table{
        {"server/managementPort", &CnfServerMain::m_nManagementPort, 51000},
    };
    return s_table;
}

bool CnfServerMain::load(QSettings &settings)
{
    table().load(settings, *this);
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
    table().save(settings, *this);
    settings.setValue(kKeyPortRange, kPortRangeFormat.arg(m_nPortRangeFirst).arg(m_nPortRangeSecond));
    return true;
}
