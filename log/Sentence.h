#pragma once

#include <QString>
#include <QStringList>

// A sentence the program both logs and shows: written to the log in English
// as it stands in the source, shown to the operator translated in its
// context. The source text is marked with QT_TRANSLATE_NOOP where it is
// defined, so that lupdate finds it.
class Sentence
{
public:
    Sentence(const char *pszContext, const char *pszSource);

    // The next %n of the text, in the English and the translated form alike.
    Sentence arg(const QString &szValue) const;
    Sentence arg(qint64 nValue) const;

    QString english() const;
    QString translated() const;

private:
    QString fill(QString szText) const;

    const char *m_pszContext;
    const char *m_pszSource;
    QStringList m_lstArgs;
};
