#include "UIIntValidator.h"

UIIntValidator::UIIntValidator(int nBottom, int nTop, QObject *pParent) : QIntValidator(nBottom, nTop, pParent)
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    setLocale(locale);
}

QValidator::State UIIntValidator::validate(QString &szInput, int &nPos) const
{
    const State state = QIntValidator::validate(szInput, nPos);
    if (state != Intermediate)
        return state;
    bool bOk = false;
    const qlonglong nValue = szInput.toLongLong(&bOk);
    // A value that is already too big only grows with further digits.
    if (bOk && nValue > top() && bottom() >= 0)
        return Invalid;
    return state;
}

bool UIIntValidator::accepts(const QString &szText) const
{
    QString szInput = szText;
    int nPos = 0;
    return validate(szInput, nPos) == Acceptable;
}
