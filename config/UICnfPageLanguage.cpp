#include "UICnfPageLanguage.h"
#include "ui_UICnfPageLanguage.h"

#include "AppContext.h"
#include "CnfProgram.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <utility>

UICnfPageLanguage::UICnfPageLanguage(CnfProgram *pCnfProgram, QWidget *pParent)
    : QWidget(pParent), m_pCnfProgram(pCnfProgram), m_pUi(new Ui::UICnfPageLanguage), m_bModified(false)
{
    m_pUi->setupUi(this);
    fillLanguages();

    // Connected only now, so that filling the list leaves the page unmodified.
    connect(m_pUi->comboBoxLanguage,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            &UICnfPageLanguage::dataModified);
}

UICnfPageLanguage::~UICnfPageLanguage()
{
    delete m_pUi;
}

bool UICnfPageLanguage::isModified() const
{
    return m_bModified;
}

void UICnfPageLanguage::dataModified()
{
    m_bModified = true;
}

bool UICnfPageLanguage::applyData()
{
    // Without translation files there is nothing to choose from: an empty
    // code would reset the language and be handed on to the other programs.
    if (m_pUi->comboBoxLanguage->currentIndex() < 0)
        return true;
    m_pCnfProgram->lingua().setLanguage(m_pUi->comboBoxLanguage->currentData().toString());
    return true;
}

QString UICnfPageLanguage::languageText(const QString &szCode)
{
    const QLocale locale(szCode);
    return QStringLiteral("%1\t- %2").arg(QLocale::languageToString(locale.language()), locale.nativeLanguageName());
}

void UICnfPageLanguage::fillLanguages()
{
    const AppContext &context = AppContext::instance();
    const QDir folder(context.suiteFolder() + QStringLiteral("/Language"));
    const QStringList lstFiles = folder.entryList(
        QStringList(context.programBaseName() + QStringLiteral("*.qm")), QDir::Files | QDir::NoSymLinks, QDir::Name);

    // (text, code), e.g. "KivDataBaseUpdater_it.qm" gives the code "it".
    QList<std::pair<QString, QString>> lstItems;
    for (const QString &szFile : lstFiles) {
        QString szCode = szFile.left(szFile.lastIndexOf(QLatin1Char('.')));
        const int nUnderscore = szCode.indexOf(QLatin1Char('_'));
        if (nUnderscore >= 0)
            szCode = szCode.mid(nUnderscore + 1);
        lstItems.append({languageText(szCode), szCode});
    }
    std::stable_sort(
        lstItems.begin(), lstItems.end(), [](const auto &left, const auto &right) { return left.first < right.first; });
    for (const auto &item : qAsConst(lstItems))
        m_pUi->comboBoxLanguage->addItem(item.first, item.second);

    const QString szLanguage = m_pCnfProgram->lingua().language();
    if (!szLanguage.isEmpty()) {
        const int nIndex = m_pUi->comboBoxLanguage->findText(languageText(szLanguage));
        if (nIndex >= 0)
            m_pUi->comboBoxLanguage->setCurrentIndex(nIndex);
    }
}
