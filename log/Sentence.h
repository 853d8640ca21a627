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
    // No sentence: nothing to log or show.
    Sentence() = default;
    Sentence(const char *pszContext, const char *pszSource);

    bool isNull() const { return m_pszSource == nullptr; }

    // The next %n of the text, in the English and the translated form alike.
    Sentence arg(const QString &szValue) const;
    Sentence arg(qint64 nValue) const;

    QString english() const;
    QString translated() const;

private:
    QString fill(QString szText) const;

    const char *m_pszContext = nullptr;
    const char *m_pszSource = nullptr;
    QStringList m_lstArgs;
};
