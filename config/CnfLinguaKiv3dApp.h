#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Language of the two generations of the 3D viewer. Kept only in each
// viewer's own "options.ini": the list of its translation files gives the
// language codes, "Languages/CurrentIndex" the chosen one.
class CnfLinguaKiv3dApp
{
public:
    enum Generation
    {
        Older = 0,
        Newer = 1
    };

    CnfLinguaKiv3dApp();
    virtual ~CnfLinguaKiv3dApp();

    // Reads the codes of every viewer whose options file exists; a viewer
    // without one has none. Loading again replaces what was read before.
    bool load();
    // Selects szLanguage (ignoring case) in every viewer whose options file
    // exists and lists it; other viewers' files are left untouched. False
    // when a file could not be written (the others are written still).
    bool save(const QString &szLanguage);

    QStringList languageCodes(Generation generation) const;
    int currentIndex(Generation generation) const;

    // The organisation's data folder, one level above this program's own.
    static QString baseFolder();
    static QString optionsFilePath(Generation generation);

private:
    struct Viewer
    {
        QStringList codes;
        // Position of each code's entry in "Languages/FilesOpener", which is
        // what "Languages/CurrentIndex" counts: entries without a code make
        // the two lists differ.
        QList<int> entryPositions;
        qint32 nCurrentIndex = 0;
    };

    Viewer m_older;
    Viewer m_newer;

    Viewer &viewer(Generation generation);
    const Viewer &viewer(Generation generation) const;
};
