#pragma once

#include "LogFileManager.h"

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;
class Sentence;

// Every message box of the program goes through here: title the application
// name, the given text, the usual buttons. Tests script the answers instead of
// showing a box, and read back what would have been shown.
class UIMessageBox
{
public:
    // One Ok button.
    static QMessageBox::StandardButton information(QWidget *pParent, const QString &szText);
    static QMessageBox::StandardButton warning(QWidget *pParent, const QString &szText);
    static QMessageBox::StandardButton critical(QWidget *pParent, const QString &szText);
    // Yes and No, no default button.
    static QMessageBox::StandardButton question(QWidget *pParent, const QString &szText);
    static void about(QWidget *pParent, const QString &szText);

    // A sentence for the operator: its English text goes to the program's
    // log with the severity, its translation into a box (an information box
    // for information, a warning box otherwise) unless bShow is false, as in
    // the unattended runs, which show nothing.
    static void report(QWidget *pParent,
                       LogSeverity severity,
                       const Sentence &sentence,
                       bool bShow = true,
                       LogCategory category = LogCatGeneral);

    // What a scripted box was asked to show.
    struct Shown
    {
        QMessageBox::Icon icon; // QMessageBox::NoIcon for the About box
        QString szText;
        QWidget *pParent;
    };

    // While scripted no box appears: each box takes the next queued answer,
    // or Ok (No for a question) when the queue is empty, and is recorded.
    static void setScripted(bool bScripted);
    static bool isScripted();
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The boxes recorded since the last call; clears the record.
    static QList<Shown> takeShown();

private:
    static QMessageBox::StandardButton
    show(QMessageBox::Icon icon, QWidget *pParent, const QString &szText, QMessageBox::StandardButtons buttons);
};
