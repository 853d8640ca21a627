#include "CnfKivUI.h"

#include <QSettings>

namespace {

const QString kKeyThumbnailDate = QStringLiteral("main/thumbnailDate");
const QString kKeyImageDeletion = QStringLiteral("main/imageDeletion");
const QString kKeyShowExternalId = QStringLiteral("main/showExternalId");
const QString kKeyPatientTableOptimizations = QStringLiteral("patientTable/optimizations");
const QString kKeyEnableStyleSheet = QStringLiteral("tools/common/miscellaneous/enableStyleSheet");
const QString kKeyTeethNumbering = QStringLiteral("main/teethNumbering");
const QString kKeyFilteringElseActive = QStringLiteral("main/filteringElseActive");

constexpr bool kDefaultThumbnailDate = true;
constexpr bool kDefaultImageDeletion = false;
constexpr bool kDefaultShowExternalId = false;
constexpr bool kDefaultPatientTableOptimizations = false;
constexpr bool kDefaultEnableStyleSheet = true;
constexpr qint32 kDefaultTeethNumbering = 0;
constexpr bool kDefaultFilteringElseActive = true;

} // namespace

CnfKivUI::CnfKivUI()
    : m_bThumbnailDate(kDefaultThumbnailDate), m_bImageDeletion(kDefaultImageDeletion),
      m_bShowExternalId(kDefaultShowExternalId), m_bPatientTableOptimizations(kDefaultPatientTableOptimizations),
      m_bEnableStyleSheet(kDefaultEnableStyleSheet), m_nTeethNumbering(kDefaultTeethNumbering),
      m_bFilteringElseActive(kDefaultFilteringElseActive)
{
}

CnfKivUI::~CnfKivUI() = default;

bool CnfKivUI::load(QSettings &settings)
{
    m_bThumbnailDate = settings.value(kKeyThumbnailDate, kDefaultThumbnailDate).toBool();
    m_bImageDeletion = settings.value(kKeyImageDeletion, kDefaultImageDeletion).toBool();
    m_bShowExternalId = settings.value(kKeyShowExternalId, kDefaultShowExternalId).toBool();
    m_bPatientTableOptimizations =
        settings.value(kKeyPatientTableOptimizations, kDefaultPatientTableOptimizations).toBool();
    m_bEnableStyleSheet = settings.value(kKeyEnableStyleSheet, kDefaultEnableStyleSheet).toBool();
    m_nTeethNumbering = settings.value(kKeyTeethNumbering, kDefaultTeethNumbering).toInt();
    m_bFilteringElseActive = settings.value(kKeyFilteringElseActive, kDefaultFilteringElseActive).toBool();
    return true;
}

bool CnfKivUI::save(QSettings &settings) const
{
    settings.setValue(kKeyThumbnailDate, m_bThumbnailDate);
    settings.setValue(kKeyImageDeletion, m_bImageDeletion);
    settings.setValue(kKeyShowExternalId, m_bShowExternalId);
    settings.setValue(kKeyPatientTableOptimizations, m_bPatientTableOptimizations);
    settings.setValue(kKeyEnableStyleSheet, m_bEnableStyleSheet);
    settings.setValue(kKeyTeethNumbering, m_nTeethNumbering);
    settings.setValue(kKeyFilteringElseActive, m_bFilteringElseActive);
    return true;
}

bool CnfKivUI::thumbnailDate() const
{
    return m_bThumbnailDate;
}

bool CnfKivUI::imageDeletion() const
{
    return m_bImageDeletion;
}

bool CnfKivUI::showExternalId() const
{
    return m_bShowExternalId;
}

bool CnfKivUI::patientTableOptimizations() const
{
    return m_bPatientTableOptimizations;
}

bool CnfKivUI::enableStyleSheet() const
{
    return m_bEnableStyleSheet;
}

int CnfKivUI::teethNumbering() const
{
    return m_nTeethNumbering;
}

bool CnfKivUI::filteringElseActive() const
{
    return m_bFilteringElseActive;
}
