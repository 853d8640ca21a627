#include "UIMessageBox.h"

#include "ProgramLog.h"
#include "Sentence.h"

#include <QCoreApplication>
#include <QQueue>

namespace {

struct Script
{
    bool bScripted = false;
    QQueue<QMessageBox::StandardButton> answers;
    QList<UIMessageBox::Shown> shown;
};

Script &script()
{
    static Script s_script;
    return s_script;
}

} // namespace

QMessageBox::StandardButton UIMessageBox::information(QWidget *pParent, const QString &szText)
{
    return show(QMessageBox::Information, pParent, szText, QMessageBox::Ok);
}

QMessageBox::StandardButton UIMessageBox::warning(QWidget *pParent, const QString &szText)
{
    return show(QMessageBox::Warning, pParent, szText, QMessageBox::Ok);
}

QMessageBox::StandardButton UIMessageBox::critical(QWidget *pParent, const QString &szText)
{
    return show(QMessageBox::Critical, pParent, szText, QMessageBox::Ok);
}

QMessageBox::StandardButton UIMessageBox::question(QWidget *pParent, const QString &szText)
{
    return show(QMessageBox::Question, pParent, szText, QMessageBox::Yes | QMessageBox::No);
}

void UIMessageBox::about(QWidget *pParent, const QString &szText)
{
    if (script().bScripted) {
        script().shown.append({QMessageBox::NoIcon, szText, pParent});
        if (!script().answers.isEmpty())
            script().answers.dequeue();
        return;
    }
    QMessageBox::about(pParent, QCoreApplication::applicationName(), szText);
}

void UIMessageBox::report(
    QWidget *pParent, LogSeverity severity, const Sentence &sentence, bool bShow, LogCategory category)
{
    ProgramLog::write(sentence.english(), category, severity);
    if (!bShow)
        return;
    if (severity == LogSevInformation)
        information(pParent, sentence.translated());
    else
        warning(pParent, sentence.translated());
}

void UIMessageBox::setScripted(bool bScripted)
{
    script().bScripted = bScripted;
    script().answers.clear();
    script().shown.clear();
}

bool UIMessageBox::isScripted()
{
    return script().bScripted;
}

void UIMessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    script().answers.enqueue(answer);
}

QList<UIMessageBox::Shown> UIMessageBox::takeShown()
{
    QList<Shown> shown;
    shown.swap(script().shown);
    return shown;
}

QMessageBox::StandardButton UIMessageBox::show(QMessageBox::Icon icon,
                                               QWidget *pParent,
                                               const QString &szText,
                                               QMessageBox::StandardButtons buttons)
{
    if (script().bScripted) {
        script().shown.append({icon, szText, pParent});
        if (!script().answers.isEmpty())
            return script().answers.dequeue();
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), szText, buttons, pParent);
    // Questions have no default button: Enter must not confirm by accident.
    if (icon != QMessageBox::Question)
        box.setDefaultButton(QMessageBox::Ok);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
