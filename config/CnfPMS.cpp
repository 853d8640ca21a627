#include "CnfPMS.h"

#include <QSettings>

namespace {

const QString kKeyLinkType = QStringLiteral("PMS/linkType");
const QString kKeyTwDoubleSpace = QStringLiteral("PMS/twDoubleSpace");
const QString kKeyzDateFormat = QStringLiteral("PMS/dateFormat");
const QString kKeyReplaceFirstNameLastName = QStringLiteral("PMS/replaceFirstNameLastName");
const QString kKeyzCodecNameForIniFiles = QStringLiteral("PMS/codecNameForIniFiles");

constexpr qint32 kDefaultLinkType = 0;
constexpr bool kDefaultTwDoubleSpace = true;
const QString kDefaultzDateFormat = QStringLiteral("yyyy/MM/dd");
constexpr bool kDefaultReplaceFirstNameLastName = false;
const QString kDefaultzCodecNameForIniFiles = QStringLiteral("UTF-8");

} // namespace

CnfPMS::CnfPMS()
    : m_nLinkType(kDefaultLinkType), m_bTwDoubleSpace(kDefaultTwDoubleSpace), m_szDateFormat(kDefaultzDateFormat),
      m_bReplaceFirstNameLastName(kDefaultReplaceFirstNameLastName),
      m_szCodecNameForIniFiles(kDefaultzCodecNameForIniFiles)
{
}

CnfPMS::~CnfPMS() = default;

bool CnfPMS::load(QSettings &settings)
{
    m_nLinkType = settings.value(kKeyLinkType, kDefaultLinkType).toInt();
    m_bTwDoubleSpace = settings.value(kKeyTwDoubleSpace, kDefaultTwDoubleSpace).toBool();
    m_szDateFormat = settings.value(kKeyzDateFormat, kDefaultzDateFormat).toString();
    m_bReplaceFirstNameLastName =
        settings.value(kKeyReplaceFirstNameLastName, kDefaultReplaceFirstNameLastName).toBool();
    m_szCodecNameForIniFiles = settings.value(kKeyzCodecNameForIniFiles, kDefaultzCodecNameForIniFiles).toString();
    return true;
}

bool CnfPMS::save(QSettings &settings) const
{
    settings.setValue(kKeyLinkType, m_nLinkType);
    settings.setValue(kKeyTwDoubleSpace, m_bTwDoubleSpace);
    settings.setValue(kKeyzDateFormat, m_szDateFormat);
    settings.setValue(kKeyReplaceFirstNameLastName, m_bReplaceFirstNameLastName);
    settings.setValue(kKeyzCodecNameForIniFiles, m_szCodecNameForIniFiles);
    return true;
}

int CnfPMS::linkType() const
{
    return m_nLinkType;
}

bool CnfPMS::twDoubleSpace() const
{
    return m_bTwDoubleSpace;
}

QString CnfPMS::dateFormat() const
{
    return m_szDateFormat;
}

bool CnfPMS::replaceFirstNameLastName() const
{
    return m_bReplaceFirstNameLastName;
}

QString CnfPMS::codecNameForIniFiles() const
{
    return m_szCodecNameForIniFiles;
}
