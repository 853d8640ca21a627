#include "UICheckDatabase.h"

#include "ui_UICheckDatabase.h"

#include "DBManager.h"
#include "SchemaDrift.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidgetItem>

namespace {

// The kinds of objects SchemaCatalog knows, shown translated.
const char *const kKinds[] = {QT_TRANSLATE_NOOP("UICheckDatabase", "extension"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "table"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "column"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "constraint"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "index"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "trigger"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "sequence"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "view"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "materialized view"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "function"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "procedure"),
                              QT_TRANSLATE_NOOP("UICheckDatabase", "aggregate")};

QString kindText(const QString &szKind)
{
    for (const char *pszKind : kKinds) {
        if (szKind == QLatin1String(pszKind))
            return QCoreApplication::translate("UICheckDatabase", pszKind);
    }
    return szKind;
}

void addGroup(QTreeWidget *pTree, const QString &szTitle, const QList<SchemaDifference> &lstDifferences)
{
    if (lstDifferences.isEmpty())
        return;
    auto *pGroup = new QTreeWidgetItem(pTree, QStringList{szTitle});
    pGroup->setFirstColumnSpanned(true);
    for (const SchemaDifference &diff : lstDifferences) {
        auto *pItem = new QTreeWidgetItem(
            pGroup, QStringList{kindText(diff.szKind), diff.szObject, diff.szExpected, diff.szFound});
        for (int nColumn = 0; nColumn < pItem->columnCount(); ++nColumn)
            pItem->setToolTip(nColumn, diff.text());
    }
}

} // namespace

UICheckDatabase::UICheckDatabase(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::UICheckDatabase>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UICheckDatabase::reject);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    DBManager *pDbManager = DBManager::instance();
    m_result = pDbManager->isDatabaseOpen()
                   ? SchemaDrift::check(pDbManager->kivDatabaseVersion())
                   : SchemaDriftResult::failed(QString(), QStringLiteral("No open connection to the database."));
    QApplication::restoreOverrideCursor();
    showResult();
}

UICheckDatabase::UICheckDatabase(const SchemaDriftResult &result, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::UICheckDatabase>()), m_result(result)
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &UICheckDatabase::reject);
    showResult();
}

UICheckDatabase::~UICheckDatabase() = default;

void UICheckDatabase::showResult()
{
    QTreeWidget *pTree = m_ui->treeWidgetDifferences;
    pTree->clear();
    const bool bAnyDifference =
        !m_result.missing().isEmpty() || !m_result.changed().isEmpty() || !m_result.extra().isEmpty();

    QString szSummary;
    switch (m_result.status()) {
    case SchemaDriftResult::Compared:
        if (m_result.hasDrift())
            szSummary = tr("The database differs from the schema expected at version %1.").arg(m_result.version());
        else if (bAnyDifference)
            szSummary = tr("No differences from the schema expected at version %1. The database also has objects of "
                           "its own, which are not counted as drift.")
                            .arg(m_result.version());
        else
            szSummary = tr("No differences from the schema expected at version %1.").arg(m_result.version());
        break;
    case SchemaDriftResult::UnknownVersion:
        szSummary = m_result.version().isEmpty()
                        ? tr("The database reports no version: no comparison is possible.")
                        : tr("The database reports version %1, for which no expected schema is known: no comparison "
                             "is possible.")
                              .arg(m_result.version());
        break;
    case SchemaDriftResult::Failed:
        szSummary = tr("Unable to check the database: %1").arg(m_result.errorText());
        break;
    }
    m_ui->labelSummary->setText(szSummary);

    addGroup(pTree, tr("Missing (%1)").arg(m_result.missing().size()), m_result.missing());
    addGroup(pTree, tr("Changed (%1)").arg(m_result.changed().size()), m_result.changed());
    addGroup(pTree, tr("Extra, not counted as drift (%1)").arg(m_result.extra().size()), m_result.extra());
    pTree->expandAll();
    for (int nColumn = 0; nColumn < pTree->columnCount() - 1; ++nColumn)
        pTree->resizeColumnToContents(nColumn);
    pTree->setVisible(bAnyDifference);
    // Without a list the dialog is as small as its sentence.
    if (!bAnyDifference) {
        setMinimumSize(420, 0);
        adjustSize();
    }
}
