#pragma once

#include <QtGlobal>

class QSettings;

// Options of the suite's main window, at the root of the native store. This
// program reads only the style sheet switch.
class CnfKivUI
{
public:
    CnfKivUI();
    virtual ~CnfKivUI();

    bool load(QSettings &settings);
    bool save(QSettings &settings) const;

    bool thumbnailDate() const;
    bool imageDeletion() const;
    bool showExternalId() const;
    bool patientTableOptimizations() const;
    bool enableStyleSheet() const;
    int teethNumbering() const;
    bool filteringElseActive() const;

private:
    bool m_bThumbnailDate;
    bool m_bImageDeletion;
    bool m_bShowExternalId;
    bool m_bPatientTableOptimizations;
    bool m_bEnableStyleSheet;
    qint32 m_nTeethNumbering;
    bool m_bFilteringElseActive;
};
