#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

class QWidget;

// The program's file and folder choosers. Tests script the chosen names
// instead of showing a dialog, and read back the captions that were asked.
class UIFileDialog
{
public:
    static QString
    getOpenFileName(QWidget *pParent, const QString &szCaption, const QString &szFolder, const QString &szFilter);
    static QString getExistingDirectory(QWidget *pParent,
                                        const QString &szCaption,
                                        const QString &szFolder,
                                        QFileDialog::Options options);

    // While scripted no dialog appears: each takes the next queued name, or
    // an empty one (cancelled) when the queue is empty.
    static void setScripted(bool bScripted);
    static void setNextName(const QString &szName);
    // The captions asked since the last call; clears the record.
    static QStringList takeCaptions();

private:
    static bool takeScripted(const QString &szCaption, QString &szName);
};
