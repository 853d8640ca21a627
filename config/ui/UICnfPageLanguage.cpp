#include "UICnfPageLanguage.h"
#include "ui_UICnfPageLanguage.h"

#include "AppContext.h"
#include "CnfProgram.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <utility>

UICnfPageLanguage::UICnfPageLanguage(CnfProgram *pCnfProgram, QWidget *pParent)
    : UICnfPage(pCnfProgram, pParent), m_ui(std::make_unique<Ui::UICnfPageLanguage>())
{
    m_ui->setupUi(this);
    fillLanguages();
    watchFields({m_ui->comboBoxLanguage});
}

UICnfPageLanguage::~UICnfPageLanguage() = default;

bool UICnfPageLanguage::applyData()
{
    // Without translation files there is nothing to choose from: an empty
    // code would reset the language and be handed on to the other programs.
    if (m_ui->comboBoxLanguage->currentIndex() < 0)
        return true;
    cnfProgram().lingua().setLanguage(m_ui->comboBoxLanguage->currentData().toString());
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
        m_ui->comboBoxLanguage->addItem(item.first, item.second);

    const QString szLanguage = cnfProgram().lingua().language();
    if (!szLanguage.isEmpty()) {
        const int nIndex = m_ui->comboBoxLanguage->findText(languageText(szLanguage));
        if (nIndex >= 0)
            m_ui->comboBoxLanguage->setCurrentIndex(nIndex);
    }
}
