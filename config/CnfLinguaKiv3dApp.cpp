#include "CnfLinguaKiv3dApp.h"

#include "CnfStoreStatus.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kKeyCurrentIndex = QStringLiteral("Languages/CurrentIndex");
const QString kKeyFilesOpener = QStringLiteral("Languages/FilesOpener");
const QString kOptionsFileName = QStringLiteral("options.ini");
const QString kOlderViewerFolder = QStringLiteral("Kiv3dViewer");
const QString kNewerViewerFolder = QStringLiteral("Kiv3dViewerNG");

constexpr CnfLinguaKiv3dApp::Generation kGenerations[] = {CnfLinguaKiv3dApp::Older, CnfLinguaKiv3dApp::Newer};

} // namespace

CnfLinguaKiv3dApp::CnfLinguaKiv3dApp() = default;

CnfLinguaKiv3dApp::~CnfLinguaKiv3dApp() = default;

bool CnfLinguaKiv3dApp::load()
{
    // What the files hold now, not added to what an earlier load found.
    m_older = Viewer();
    m_newer = Viewer();
    for (const Generation generation : kGenerations) {
        const QString szPath = optionsFilePath(generation);
        if (!QFileInfo::exists(szPath))
            continue;
        Viewer &current = viewer(generation);
        QSettings settings(szPath, QSettings::IniFormat);
        current.nCurrentIndex = settings.value(kKeyCurrentIndex, 0).toInt();
        const QStringList entries = settings.value(kKeyFilesOpener, QStringList()).toStringList();
        for (int i = 0; i < entries.size(); ++i) {
            const QString &szEntry = entries.at(i);
            const int nUnderscore = szEntry.lastIndexOf(QLatin1Char('_'));
            if (nUnderscore < 0)
                continue;
            const QString szCode = szEntry.mid(nUnderscore + 1, 2);
            if (szCode.isEmpty())
                continue;
            current.codes.append(szCode);
            current.entryPositions.append(i);
        }
    }
    return true;
}

bool CnfLinguaKiv3dApp::save(const QString &szLanguage)
{
    bool bResult = true;
    for (const Generation generation : kGenerations) {
        const QString szPath = optionsFilePath(generation);
        if (!QFileInfo::exists(szPath))
            continue;
        Viewer &current = viewer(generation);
        for (int i = 0; i < current.codes.size(); ++i) {
            if (current.codes.at(i).compare(szLanguage, Qt::CaseInsensitive) != 0)
                continue;
            current.nCurrentIndex = current.entryPositions.at(i);
            QSettings settings(szPath, QSettings::IniFormat);
            settings.setValue(kKeyCurrentIndex, current.nCurrentIndex);
            bResult = CnfStoreStatus::sync(settings) && bResult;
            break;
        }
    }
    return bResult;
}

QStringList CnfLinguaKiv3dApp::languageCodes(Generation generation) const
{
    return viewer(generation).codes;
}

int CnfLinguaKiv3dApp::currentIndex(Generation generation) const
{
    return viewer(generation).nCurrentIndex;
}

QString CnfLinguaKiv3dApp::baseFolder()
{
    const QString szAppData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    int nCut = szAppData.lastIndexOf(QLatin1Char('/'));
    if (nCut < 0)
        nCut = szAppData.lastIndexOf(QLatin1Char('\\'));
    return nCut < 0 ? szAppData : szAppData.left(nCut);
}

QString CnfLinguaKiv3dApp::optionsFilePath(Generation generation)
{
    const QString &szFolder = generation == Older ? kOlderViewerFolder : kNewerViewerFolder;
    return baseFolder() + QLatin1Char('/') + szFolder + QLatin1Char('/') + kOptionsFileName;
}

CnfLinguaKiv3dApp::Viewer &CnfLinguaKiv3dApp::viewer(Generation generation)
{
    return generation == Older ? m_older : m_newer;
}

const CnfLinguaKiv3dApp::Viewer &CnfLinguaKiv3dApp::viewer(Generation generation) const
{
    return generation == Older ? m_older : m_newer;
}
