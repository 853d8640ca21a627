#include "UIFileDialog.h"

#include <QQueue>

namespace {

struct Script
{
    bool bScripted = false;
    QQueue<QString> names;
    QStringList captions;
};

Script &script()
{
    static Script s_script;
    return s_script;
}

} // namespace

QString UIFileDialog::getOpenFileName(QWidget *pParent,
                                      const QString &szCaption,
                                      const QString &szFolder,
                                      const QString &szFilter)
{
    QString szName;
    if (takeScripted(szCaption, szName))
        return szName;
    return QFileDialog::getOpenFileName(pParent, szCaption, szFolder, szFilter);
}

QString UIFileDialog::getExistingDirectory(QWidget *pParent,
                                           const QString &szCaption,
                                           const QString &szFolder,
                                           QFileDialog::Options options)
{
    QString szName;
    if (takeScripted(szCaption, szName))
        return szName;
    return QFileDialog::getExistingDirectory(pParent, szCaption, szFolder, options);
}

void UIFileDialog::setScripted(bool bScripted)
{
    script().bScripted = bScripted;
    script().names.clear();
    script().captions.clear();
}

void UIFileDialog::setNextName(const QString &szName)
{
    script().names.enqueue(szName);
}

QStringList UIFileDialog::takeCaptions()
{
    QStringList captions;
    captions.swap(script().captions);
    return captions;
}

bool UIFileDialog::takeScripted(const QString &szCaption, QString &szName)
{
    if (!script().bScripted)
        return false;
    script().captions << szCaption;
    szName = script().names.isEmpty() ? QString() : script().names.dequeue();
    return true;
}
