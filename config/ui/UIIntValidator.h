#pragma once

#include <QIntValidator>

// Integer validator of the configuration pages. Unlike QIntValidator it
// refuses, while typing, a value above the top whatever its number of digits
// (QIntValidator lets "301" be typed into a field of 0 to 300), and it
// accepts plain digits only: a group separator that the operator's locale
// would allow ("1,234") would be accepted and then read as 0.
class UIIntValidator : public QIntValidator
{
    Q_OBJECT

public:
    UIIntValidator(int nBottom, int nTop, QObject *pParent);

    State validate(QString &szInput, int &nPos) const override;
    // The text is a complete value of the range (not merely a beginning).
    bool accepts(const QString &szText) const;
};
