#include "Sentence.h"

#include <QCoreApplication>

Sentence::Sentence(const char *pszContext, const char *pszSource) : m_pszContext(pszContext), m_pszSource(pszSource) {}

Sentence Sentence::arg(const QString &szValue) const
{
    Sentence result = *this;
    result.m_lstArgs << szValue;
    return result;
}

Sentence Sentence::arg(qint64 nValue) const
{
    return arg(QString::number(nValue));
}

QString Sentence::english() const
{
    return isNull() ? QString() : fill(QString::fromUtf8(m_pszSource));
}

QString Sentence::translated() const
{
    return isNull() ? QString() : fill(QCoreApplication::translate(m_pszContext, m_pszSource));
}

QString Sentence::fill(QString szText) const
{
    // One pass over all arguments: a value that itself holds "%2" is not
    // filled again by the next argument.
    switch (m_lstArgs.size()) {
    case 0:
        return szText;
    case 1:
        return szText.arg(m_lstArgs.at(0));
    case 2:
        return szText.arg(m_lstArgs.at(0), m_lstArgs.at(1));
    case 3:
        return szText.arg(m_lstArgs.at(0), m_lstArgs.at(1), m_lstArgs.at(2));
    default:
        return szText.arg(m_lstArgs.at(0), m_lstArgs.at(1), m_lstArgs.at(2), m_lstArgs.at(3));
    }
}
