#include "Cnf2d.h"

#include <QSettings>

namespace {

const QString kKeyType = QStringLiteral("kivImaging2D/type");
const QString kKeyAutosave = QStringLiteral("kivImaging2D/autosave");
const QString kKeyYCorrection = QStringLiteral("kivImaging2D/yCorrection");
const QString kKeyHeightOverride = QStringLiteral("kivImaging2D/heightOverride");
const QString kKeyWidthOverride = QStringLiteral("kivImaging2D/widthOverride");
const QString kKeyApplicationName = QStringLiteral("kivImaging2D/applicationName");
const QString kKeyApplicationPath = QStringLiteral("kivImaging2D/applicationPath");
const QString kKeyPrintLogoPath = QStringLiteral("kivImaging2D/printLogoPath");
const QString kKeyAutoOpen = QStringLiteral("kivImaging2D/autoOpen");

const QString kDefaultApplicationName = QStringLiteral("KivImaging2D");
const QString kApplicationFolder = QStringLiteral("/KivImaging2D");
constexpr qint32 kDefaultAutoOpen = 1;

} // namespace

Cnf2d::Cnf2d()
    : m_nType(0), m_bAutosave(false), m_nYCorrection(0), m_nHeightOverride(0), m_nWidthOverride(0),
      m_szApplicationName(kDefaultApplicationName), m_nAutoOpen(kDefaultAutoOpen)
{
}

Cnf2d::~Cnf2d() = default;

bool Cnf2d::load(QSettings &settings, const QString &szKivRoot)
{
    m_nType = settings.value(kKeyType, 0).toInt();
    m_bAutosave = settings.value(kKeyAutosave, false).toBool();
    m_nYCorrection = settings.value(kKeyYCorrection, 0).toInt();
    m_nHeightOverride = settings.value(kKeyHeightOverride, 0).toInt();
    m_nWidthOverride = settings.value(kKeyWidthOverride, 0).toInt();
    m_szApplicationName = settings.value(kKeyApplicationName, QString()).toString();
    if (m_szApplicationName.isEmpty())
        m_szApplicationName = kDefaultApplicationName;
    m_szApplicationPath = settings.value(kKeyApplicationPath, QString()).toString();
    if (m_szApplicationPath.isEmpty())
        m_szApplicationPath = szKivRoot + kApplicationFolder;
    m_szPrintLogoPath = settings.value(kKeyPrintLogoPath, QString()).toString();
    m_nAutoOpen = settings.value(kKeyAutoOpen, kDefaultAutoOpen).toInt();
    return true;
}

bool Cnf2d::save(QSettings &settings) const
{
    settings.setValue(kKeyType, m_nType);
    settings.setValue(kKeyAutosave, m_bAutosave);
    settings.setValue(kKeyYCorrection, m_nYCorrection);
    settings.setValue(kKeyHeightOverride, m_nHeightOverride);
    settings.setValue(kKeyWidthOverride, m_nWidthOverride);
    settings.setValue(kKeyApplicationName, m_szApplicationName);
    settings.setValue(kKeyApplicationPath, m_szApplicationPath);
    settings.setValue(kKeyPrintLogoPath, m_szPrintLogoPath);
    settings.setValue(kKeyAutoOpen, m_nAutoOpen);
    return true;
}

int Cnf2d::type() const
{
    return m_nType;
}

bool Cnf2d::autosave() const
{
    return m_bAutosave;
}

int Cnf2d::yCorrection() const
{
    return m_nYCorrection;
}

int Cnf2d::heightOverride() const
{
    return m_nHeightOverride;
}

int Cnf2d::widthOverride() const
{
    return m_nWidthOverride;
}

QString Cnf2d::applicationName() const
{
    return m_szApplicationName;
}

QString Cnf2d::applicationPath() const
{
    return m_szApplicationPath;
}

QString Cnf2d::printLogoPath() const
{
    return m_szPrintLogoPath;
}

int Cnf2d::autoOpen() const
{
    return m_nAutoOpen;
}
