#pragma once

#include "CnfTable.h"

// Options of the suite's main window, at the root of the native store. This
// program reads only the style sheet switch.
class CnfKivUI
{
public:
    CnfKivUI() { table().resetToDefaults(*this); }
    virtual ~CnfKivUI() = default;

    bool load(QSettings &settings) { return table().load(settings, *this); }
    bool save(QSettings &settings) const { return table().save(settings, *this); }

    bool thumbnailDate() const { return m_bThumbnailDate; }
    bool imageDeletion() const { return m_bImageDeletion; }
    bool showExternalId() const { return m_bShowExternalId; }
    bool patientTableOptimizations() const { return m_bPatientTableOptimizations; }
    bool enableStyleSheet() const { return m_bEnableStyleSheet; }
    int teethNumbering() const { return m_nTeethNumbering; }
    bool filteringElseActive() const { return m_bFilteringElseActive; }

private:
    static const CnfTable<CnfKivUI> &table();

    bool m_bThumbnailDate;
    bool m_bImageDeletion;
    bool m_bShowExternalId;
    bool m_bPatientTableOptimizations;
    bool m_bEnableStyleSheet;
    qint32 m_nTeethNumbering;
    bool m_bFilteringElseActive;
};
