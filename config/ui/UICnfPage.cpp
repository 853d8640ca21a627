#include "UICnfPage.h"

#include "UIMessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

UICnfPage::UICnfPage(CnfProgram *pCnfProgram, QWidget *pParent)
    : QWidget(pParent), m_pCnfProgram(pCnfProgram), m_bModified(false)
{
}

UICnfPage::~UICnfPage() = default;

bool UICnfPage::isModified() const
{
    return m_bModified;
}

void UICnfPage::dataModified()
{
    m_bModified = true;
}

CnfProgram &UICnfPage::cnfProgram() const
{
    return *m_pCnfProgram;
}

void UICnfPage::watchFields(std::initializer_list<QWidget *> fields)
{
    for (QWidget *pField : fields) {
        if (auto *pLineEdit = qobject_cast<QLineEdit *>(pField))
            connect(pLineEdit, &QLineEdit::textChanged, this, &UICnfPage::dataModified);
        else if (auto *pCheckBox = qobject_cast<QCheckBox *>(pField))
            connect(pCheckBox, &QCheckBox::stateChanged, this, &UICnfPage::dataModified);
        else if (auto *pComboBox = qobject_cast<QComboBox *>(pField))
            connect(pComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &UICnfPage::dataModified);
        else
            qWarning("UICnfPage: no change signal known for %s", qPrintable(pField->objectName()));
    }
}

bool UICnfPage::refuse(QWidget *pFocus, const QString &szWarning)
{
    UIMessageBox::warning(this, szWarning);
    pFocus->setFocus();
    return false;
}
