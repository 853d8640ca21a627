#include "PersonalData.h"

#include "DBManager.h"
#include "PersonalDataCipher.h"
#include "PersonalDataStatements.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

int columnCount()
{
    return PersonalData::encryptedColumns().size();
}

// PersonalData::save() through a Qt statement, for the columns in toWrite.
bool saveThroughQt(const QVector<int> &toWrite, const QVector<QString> &values, qint64 nId, int &nRows)
{
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    // The prepared statement covers all columns; a record that knows only some
    // of them gets a statement of its own, so the others stay as they are.
    QSqlQuery partial;
    QSqlQuery *pQuery = nullptr;
    if (toWrite == pStatements->presentColumns()) {
        pQuery = pStatements->statement(PersonalDataStatements::SaveStored);
        if (!pQuery)
            return false;
    } else {
        const QStringList lstAll = PersonalData::encryptedColumns();
        QStringList lstColumns;
        for (int nIndex : toWrite)
            lstColumns << lstAll.at(nIndex);
        partial = QSqlQuery(QSqlDatabase::database(QString::fromLatin1(QSqlDatabase::defaultConnection), false));
        if (!partial.prepare(PersonalDataStatements::sqlText(PersonalDataStatements::SaveStored, lstColumns))) {
            qCWarning(g_lcDatabase).noquote()
                << "Unable to prepare the personal data statement:" << partial.lastError().text();
            return false;
        }
        pQuery = &partial;
    }

    int nBind = 0;
    for (int nIndex : toWrite)
        pQuery->bindValue(nBind++, values.at(nIndex));
    pQuery->bindValue(nBind++, nId);
    if (!pQuery->exec()) {
        qCWarning(g_lcDatabase).noquote()
            << QStringLiteral("Unable to save the personal data %1:").arg(nId) << pQuery->lastError().text();
        return false;
    }
    nRows = pQuery->numRowsAffected();
    pQuery->finish();
    return true;
}

} // namespace

PersonalData::PersonalData()
{
    clearValues();
}

PersonalData::~PersonalData() = default;

void PersonalData::setIdPersonalData(qint64 nId)
{
    m_nId = nId;
    m_bLoaded = false;
    clearValues();
}

qint64 PersonalData::idPersonalData() const
{
    return m_nId;
}

bool PersonalData::load()
{
    m_bLoaded = false;
    clearValues();
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    if (!pStatements->ensure())
        return false;

    if (!pStatements->takeOfferedRow(m_nId, m_values)) {
        QSqlQuery *pQuery = pStatements->statement(PersonalDataStatements::LoadStored);
        if (!pQuery)
            return false;
        pQuery->bindValue(0, m_nId);
        if (!pQuery->exec()) {
            qCWarning(g_lcDatabase).noquote()
                << QStringLiteral("Unable to read the personal data %1:").arg(m_nId) << pQuery->lastError().text();
            return false;
        }
        if (!pQuery->next()) {
            pQuery->finish();
            qCDebug(g_lcDatabase) << "No personal data with ID" << m_nId;
            return false;
        }
        const QVector<int> &present = pStatements->presentColumns();
        for (int i = 0; i < present.size(); ++i)
            m_values[present.at(i)] = pQuery->value(i).toString();
        pQuery->finish();
    }
    for (int nIndex : pStatements->presentColumns())
        m_known[nIndex] = true;
    return finishLoad();
}

bool PersonalData::finishLoad()
{
    const DBManager *pManager = DBManager::instance();
    if (!pManager->encryptionEnabled()) {
        m_bLoaded = true;
        return true;
    }
    // Decrypted here: the key never goes to the server. Without the key, or
    // with a value that does not decrypt under it, nothing is handed out
    // rather than ciphertext or garbage taken for the text.
    PersonalDataCipher cipher;
    for (QString &szValue : m_values) {
        if (!PersonalDataCipher::isEncrypted(szValue))
            continue;
        QString szPlain;
        if (!cipher.isReady() || !cipher.decrypt(szValue, szPlain)) {
            if (!cipher.isReady())
                qCWarning(g_lcDatabase) << "Unable to decrypt the personal data" << m_nId << "without a data key";
            else
                qCWarning(g_lcDatabase) << "Unable to decrypt the personal data" << m_nId << "with the data key";
            clearValues();
            return false;
        }
        szValue = szPlain;
    }
    m_bLoaded = true;
    return true;
}

bool PersonalData::save()
{
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    if (!pStatements->ensure())
        return false;

    const QVector<int> &present = pStatements->presentColumns();
    QVector<int> toWrite;
    for (int nIndex : present) {
        if (m_known.at(nIndex))
            toWrite << nIndex;
    }
    if (toWrite.isEmpty()) {
        qCWarning(g_lcDatabase) << "Nothing to save for the personal data" << m_nId;
        return false;
    }

    // With encryption on, the values are encrypted here under a nonce of this
    // save; values stored encrypted already are written as they are.
    QVector<QString> values = m_values;
    if (DBManager::instance()->encryptionEnabled()) {
        PersonalDataCipher cipher;
        PersonalDataCipher::Nonce nonce;
        if (!cipher.isReady()) {
            qCWarning(g_lcDatabase) << "Unable to save the personal data" << m_nId << "encrypted without a data key";
            return false;
        }
        if (!PersonalDataCipher::newNonce(nonce))
            return false;
        for (int nIndex : qAsConst(toWrite)) {
            QString &szValue = values[nIndex];
            if (szValue.isNull() || PersonalDataCipher::isEncrypted(szValue))
                continue;
            const QByteArray stored = cipher.encrypt(szValue.toUtf8(), nonce, nIndex);
            if (stored.isEmpty())
                return false;
            szValue = QString::fromLatin1(stored);
        }
    }

    int nRows = 0;
    PersonalDataStatements::DirectResult eDirect = PersonalDataStatements::DirectUnavailable;
    if (toWrite == present) {
        // The usual case: the record knows every column.
        QVector<QByteArray> params;
        params.reserve(toWrite.size() + 1);
        for (int nIndex : qAsConst(toWrite)) {
            const QString &szValue = values.at(nIndex);
            params << (szValue.isNull() ? QByteArray() : szValue.toUtf8());
        }
        params << QByteArray::number(m_nId);
        eDirect = pStatements->runDirect(PersonalDataStatements::SaveStored, params, nRows);
        if (eDirect == PersonalDataStatements::DirectFailed) {
            qCWarning(g_lcDatabase).noquote()
                << QStringLiteral("Unable to save the personal data %1:").arg(m_nId) << pStatements->lastError();
            return false;
        }
    }
    if (eDirect == PersonalDataStatements::DirectUnavailable && !saveThroughQt(toWrite, values, m_nId, nRows))
        return false;
    if (nRows != 1) {
        qCWarning(g_lcDatabase) << "No personal data with ID" << m_nId << "to save";
        return false;
    }
    pStatements->noteSaved(m_nId);
    return true;
}

QString PersonalData::value(const QString &szColumn) const
{
    const int nIndex = encryptedColumns().indexOf(szColumn);
    return nIndex < 0 ? QString() : m_values.at(nIndex);
}

void PersonalData::setValue(const QString &szColumn, const QString &szValue)
{
    const int nIndex = encryptedColumns().indexOf(szColumn);
    if (nIndex < 0) {
        qCWarning(g_lcDatabase) << "PersonalData has no text column" << szColumn;
        return;
    }
    m_values[nIndex] = szValue;
    m_known[nIndex] = true;
}

QStringList PersonalData::encryptedColumns()
{
    static const QStringList s_lstColumns = {
        QStringLiteral("FirstName"),
        QStringLiteral("LastName"),
        QStringLiteral("Title"),
        QStringLiteral("Address"),
        QStringLiteral("PostalCode"),
        QStringLiteral("City"),
        QStringLiteral("StateRegion"),
        QStringLiteral("Country"),
        QStringLiteral("Telephone"),
        QStringLiteral("Mobile"),
        QStringLiteral("eMail"),
        QStringLiteral("NationalNumber"),
    };
    return s_lstColumns;
}

void PersonalData::clearValues()
{
    m_values = QVector<QString>(columnCount());
    m_known = QVector<bool>(columnCount(), false);
}
