#include "PersonalDataBatch.h"

#include "DBManager.h"
#include "PersonalData.h"
#include "PersonalDataCipher.h"
#include "PersonalDataStatements.h"

#include <QElapsedTimer>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Rows per round: at first, at least and at most. The most bounds the memory
// of the rows in flight (kept until their answer, to name a failing one).
constexpr int kFirstRoundRows = 32;
constexpr int kMinRoundRows = 8;
constexpr int kMaxRoundRows = 20000;
// A round may grow by this factor at most, so that one quick round (a
// scheduler's whim) does not make the next one ten times too long.
constexpr int kMaxRoundGrowth = 8;
// Rows per statement: a round is sent in about this many statements, so that
// the server works on one while the next is encrypted, and a statement holds
// at most kMaxStatementRows rows.
constexpr int kStatementsPerRound = 4;
constexpr int kMaxStatementRows = 1000;

const char *const kSavepoint = "SAVEPOINT kivdb_personal_batch";
const char *const kRollbackToSavepoint = "ROLLBACK TO SAVEPOINT kivdb_personal_batch";

QString resultText(const PGresult *pResult, PGconn *pConnection)
{
    QString szText = QString::fromUtf8(pResult ? PQresultErrorMessage(pResult) : "").trimmed();
    if (szText.isEmpty())
        szText = QString::fromUtf8(PQerrorMessage(pConnection)).trimmed();
    if (szText.isEmpty() && PQstatus(pConnection) != CONNECTION_OK)
        szText = QStringLiteral("The connection to the database server was lost.");
    return szText;
}

// One element of a text array literal: NULL, or the value in double quotes.
void appendElement(QByteArray &array, const QByteArray &value)
{
    if (array.size() > 1)
        array += ',';
    if (value.isNull()) {
        array += "NULL";
        return;
    }
    array += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\')
            array += '\\';
        array += c;
    }
    array += '"';
}

// One statement: its rows (ID and the values to write, in column order) and
// the array parameters made of them.
struct Statement
{
    QVector<qint64> ids;
    QVector<QVector<QByteArray>> rows;
    QVector<QByteArray> params;
};

} // namespace

class PersonalDataBatch::Private
{
public:
    bool fail(const QString &szText, qint64 nId = 0);
    bool attach();
    bool send();
    bool readAnswers(QVector<QPair<int, int>> &shortStatements, int &nFailedStatement);
    bool findMissing(const Statement &statement, QVector<qint64> &lstGone);
    void undoAndName(int nFailedStatement, const QVector<qint64> &lstGone = {});
    void adapt();

    PersonalDataCipher cipher;
    QVector<int> columns;
    bool bColumnsKnown = false;
    PGconn *pConnection = nullptr;
    int nBackend = 0;
    QByteArray batchName;
    // In pipeline mode: a round is under way. Kept here rather than asked of
    // libpq, whose connection may have been replaced (and freed) between
    // rounds.
    bool bInPipeline = false;
    bool bSavepointSent = false;
    bool bSavepointInFlight = false;
    bool bSpent = false;

    Statement building;
    QVector<Statement> inFlight;
    int nPending = 0;
    int nRoundRows = kFirstRoundRows;
    int nStatementRows = kFirstRoundRows / kStatementsPerRound;
    QElapsedTimer roundTimer;

    QVector<qint64> missing;
    qint64 nFailedId = 0;
    QString szError;
};

bool PersonalDataBatch::Private::fail(const QString &szText, qint64 nId)
{
    bSpent = true;
    nFailedId = nId;
    szError = szText.isEmpty() ? QStringLiteral("The database reported an error without a text.") : szText;
    qCWarning(g_lcDatabase).noquote() << (nId ? QStringLiteral("Unable to save the personal data %1:").arg(nId)
                                              : QStringLiteral("Unable to save the personal data:"))
                                      << szError;
    return false;
}

// Takes the default connection for a round: the same session as before,
// inside a transaction, in pipeline mode.
bool PersonalDataBatch::Private::attach()
{
    if (bInPipeline)
        return true;
    PersonalDataStatements *pStatements = PersonalDataStatements::instance();
    PGconn *pDirect = pStatements->directConnection();
    if (!pDirect)
        return fail(QStringLiteral("The connection to the database is not open or cannot take the saves."));
    if (pConnection && (pDirect != pConnection || PQbackendPID(pDirect) != nBackend))
        return fail(QStringLiteral("The connection to the database was replaced during the saves."));
    if (PQtransactionStatus(pDirect) != PQTRANS_INTRANS)
        return fail(QStringLiteral("The saves of a batch need an open transaction."));
    if (!pConnection) {
        batchName = pStatements->directStatement(pDirect, PersonalDataStatements::SaveBatch);
        if (batchName.isEmpty())
            return fail(pStatements->lastError());
        pConnection = pDirect;
        nBackend = PQbackendPID(pDirect);
    }
    if (PQenterPipelineMode(pConnection) != 1)
        return fail(resultText(nullptr, pConnection));
    bInPipeline = true;
    return true;
}

bool PersonalDataBatch::Private::send()
{
    if (building.ids.isEmpty())
        return true;
    if (!attach())
        return false;
    if (!bSavepointSent) {
        if (PQsendQueryParams(pConnection, kSavepoint, 0, nullptr, nullptr, nullptr, nullptr, 0) != 1)
            return fail(resultText(nullptr, pConnection));
        bSavepointSent = true;
        bSavepointInFlight = true;
    }

    // The arrays: the IDs, then each column's values.
    QByteArray ids("{");
    for (const qint64 nId : qAsConst(building.ids)) {
        if (ids.size() > 1)
            ids += ',';
        ids += QByteArray::number(nId);
    }
    ids += '}';
    building.params.reserve(columns.size() + 1);
    building.params << ids;
    for (int nColumn = 0; nColumn < columns.size(); ++nColumn) {
        QByteArray array("{");
        array.reserve(building.rows.size() * 72);
        for (const QVector<QByteArray> &row : qAsConst(building.rows))
            appendElement(array, row.at(nColumn));
        array += '}';
        building.params << array;
    }
    QVector<const char *> values;
    values.reserve(building.params.size());
    for (const QByteArray &param : qAsConst(building.params))
        values << param.constData();
    if (PQsendQueryPrepared(
            pConnection, batchName.constData(), values.size(), values.constData(), nullptr, nullptr, 0) != 1 ||
        PQflush(pConnection) != 0)
        return fail(resultText(nullptr, pConnection));
    inFlight << std::move(building);
    building = Statement();
    return true;
}

// Reads the answers of the round up to its sync point and leaves pipeline
// mode. False when the connection broke (the batch is then spent). A failed
// statement is reported through nFailedStatement (-2: the savepoint), the
// statements that wrote fewer rows than they had through shortStatements
// (statement, rows written).
bool PersonalDataBatch::Private::readAnswers(QVector<QPair<int, int>> &shortStatements, int &nFailedStatement)
{
    nFailedStatement = -1;
    // The round ends here, whatever comes back.
    bInPipeline = false;
    QString szFirstError;
    // The answers come in the order the commands were sent: the savepoint
    // (first round only), the statements, the sync point.
    const int nCommands = inFlight.size() + (bSavepointInFlight ? 1 : 0);
    for (int nCommand = 0; nCommand < nCommands; ++nCommand) {
        const int nStatement = bSavepointInFlight ? nCommand - 1 : nCommand;
        PGresult *pResult = PQgetResult(pConnection);
        if (!pResult)
            return fail(resultText(nullptr, pConnection));
        const ExecStatusType eStatus = PQresultStatus(pResult);
        if (eStatus == PGRES_COMMAND_OK) {
            const int nWritten = std::atoi(PQcmdTuples(pResult));
            if (nStatement >= 0 && nWritten < inFlight.at(nStatement).ids.size())
                shortStatements << qMakePair(nStatement, nWritten);
        } else if (eStatus != PGRES_PIPELINE_ABORTED && nFailedStatement == -1) {
            // After the first error the server skips the rest up to the sync
            // point.
            nFailedStatement = nStatement < 0 ? -2 : nStatement;
            szFirstError = resultText(pResult, pConnection);
        }
        PQclear(pResult);
        // Each command's answers end with a null result.
        while ((pResult = PQgetResult(pConnection)) != nullptr)
            PQclear(pResult);
        if (PQstatus(pConnection) != CONNECTION_OK)
            return fail(szFirstError.isEmpty() ? resultText(nullptr, pConnection) : szFirstError);
    }
    bSavepointInFlight = false;
    PGresult *pSync = PQgetResult(pConnection);
    const bool bSynced = pSync && PQresultStatus(pSync) == PGRES_PIPELINE_SYNC;
    PQclear(pSync);
    if (!bSynced || PQexitPipelineMode(pConnection) != 1)
        return fail(szFirstError.isEmpty() ? resultText(nullptr, pConnection) : szFirstError);
    if (nFailedStatement != -1)
        szError = szFirstError;
    return true;
}

// The IDs of a statement that have no row now (removed by another session).
bool PersonalDataBatch::Private::findMissing(const Statement &statement, QVector<qint64> &lstGone)
{
    const char *const pszSql = "SELECT s.id FROM unnest($1::int8[]) AS s (id) "
                               "WHERE NOT EXISTS (SELECT 1 FROM \"PERSONALDATA\" AS p WHERE p.\"ID\" = s.id)";
    const char *pIds = statement.params.at(0).constData();
    PGresult *pResult = PQexecParams(pConnection, pszSql, 1, nullptr, &pIds, nullptr, nullptr, 0);
    if (PQresultStatus(pResult) != PGRES_TUPLES_OK) {
        const QString szText = resultText(pResult, pConnection);
        PQclear(pResult);
        return fail(szText);
    }
    for (int i = 0; i < PQntuples(pResult); ++i)
        lstGone << QByteArray(PQgetvalue(pResult, i, 0)).toLongLong();
    PQclear(pResult);
    return true;
}

// After a failed round: back to the savepoint, then the failing statement's
// rows one by one (but those in lstGone, which have no row) to find the
// record whose save fails or writes nothing, then back to the savepoint
// again. Nothing this batch saved stays.
void PersonalDataBatch::Private::undoAndName(int nFailedStatement, const QVector<qint64> &lstGone)
{
    const QString szStatementError = szError;
    bSpent = true;
    auto rollBack = [this]() {
        PGresult *pResult = PQexec(pConnection, kRollbackToSavepoint);
        const bool bDone = PQresultStatus(pResult) == PGRES_COMMAND_OK;
        if (!bDone)
            qCWarning(g_lcDatabase).noquote()
                << "Unable to undo the personal data saves:" << resultText(pResult, pConnection);
        PQclear(pResult);
        return bDone;
    };
    if (nFailedStatement < 0 || !rollBack()) {
        fail(szStatementError);
        return;
    }
    const Statement &statement = inFlight.at(nFailedStatement);
    const QByteArray single =
        PersonalDataStatements::instance()->directStatement(pConnection, PersonalDataStatements::SaveStored);
    qint64 nFoundId = 0;
    QString szFoundError;
    for (int i = 0; i < statement.ids.size() && !single.isEmpty() && nFoundId == 0; ++i) {
        if (lstGone.contains(statement.ids.at(i)))
            continue;
        QVector<QByteArray> params = statement.rows.at(i);
        params << QByteArray::number(statement.ids.at(i));
        QVector<const char *> values;
        for (const QByteArray &param : qAsConst(params))
            values << (param.isNull() ? nullptr : param.constData());
        PGresult *pResult =
            PQexecPrepared(pConnection, single.constData(), values.size(), values.constData(), nullptr, nullptr, 0);
        if (PQresultStatus(pResult) != PGRES_COMMAND_OK) {
            nFoundId = statement.ids.at(i);
            szFoundError = resultText(pResult, pConnection);
        } else if (std::atoi(PQcmdTuples(pResult)) != 1) {
            nFoundId = statement.ids.at(i);
            szFoundError = QStringLiteral("The server left the record unchanged (a trigger of the table skipped its "
                                          "update).");
        }
        PQclear(pResult);
        if (PQstatus(pConnection) != CONNECTION_OK)
            break;
    }
    if (PQstatus(pConnection) == CONNECTION_OK)
        rollBack();
    // Not found again one by one: the statement's error stands, without an ID.
    if (nFoundId != 0)
        fail(szFoundError, nFoundId);
    else
        fail(szStatementError);
}

void PersonalDataBatch::Private::adapt()
{
    const double dMs = roundTimer.nsecsElapsed() / 1e6;
    if (nPending <= 0 || dMs <= 0)
        return;
    const double dTarget = nPending * double(PersonalDataBatch::kRoundMs) / dMs;
    const double dCeiling = std::min<double>(kMaxRoundRows, double(nRoundRows) * kMaxRoundGrowth);
    nRoundRows = int(std::clamp<double>(dTarget, kMinRoundRows, dCeiling));
    nStatementRows = std::clamp(nRoundRows / kStatementsPerRound, 1, kMaxStatementRows);
}

PersonalDataBatch::PersonalDataBatch() : d(std::make_unique<Private>()) {}

PersonalDataBatch::~PersonalDataBatch()
{
    // The connection must leave pipeline mode whatever happened: the rows in
    // flight are waited for, those not sent are dropped. Only on the
    // connection the round began on, which a caller may have closed against
    // the rules: its handle is compared before it is used.
    if (d->bInPipeline && PersonalDataStatements::instance()->nativeHandle() == d->pConnection &&
        PQstatus(d->pConnection) == CONNECTION_OK && PQpipelineSync(d->pConnection) == 1) {
        QVector<QPair<int, int>> shortStatements;
        int nFailedStatement = -1;
        d->readAnswers(shortStatements, nFailedStatement);
    }
}

PersonalDataBatch::AddResult PersonalDataBatch::add(const PersonalData &record)
{
    if (d->bSpent) {
        d->szError = QStringLiteral("The batch failed before.");
        return Failed;
    }
    if (!d->bColumnsKnown) {
        PersonalDataStatements *pStatements = PersonalDataStatements::instance();
        if (!pStatements->ensure()) {
            d->szError = pStatements->lastError();
            return Failed;
        }
        d->columns = pStatements->presentColumns();
        d->bColumnsKnown = true;
    }
    bool bToEncrypt = false;
    for (const int nIndex : qAsConst(d->columns)) {
        if (!record.m_known.at(nIndex)) {
            d->szError = QStringLiteral("The record %1 was not loaded.").arg(record.m_nId);
            return Failed;
        }
        const QString &szValue = record.m_values.at(nIndex);
        bToEncrypt = bToEncrypt || (!szValue.isNull() && !PersonalDataCipher::isEncrypted(szValue));
    }
    if (!bToEncrypt)
        return Unchanged;
    if (!d->cipher.isReady())
        return NoDataKey;
    PersonalDataCipher::Nonce nonce;
    if (!PersonalDataCipher::newNonce(nonce)) {
        d->szError = QStringLiteral("The random source failed.");
        return Failed;
    }

    QVector<QByteArray> row;
    row.reserve(d->columns.size());
    for (const int nIndex : qAsConst(d->columns)) {
        const QString &szValue = record.m_values.at(nIndex);
        if (szValue.isNull()) {
            row << QByteArray();
        } else if (PersonalDataCipher::isEncrypted(szValue)) {
            row << szValue.toUtf8();
        } else {
            row << d->cipher.encrypt(szValue.toUtf8(), nonce, nIndex);
            if (row.constLast().isEmpty()) {
                d->szError = QStringLiteral("The value could not be encrypted.");
                return Failed;
            }
        }
    }
    if (d->nPending == 0)
        d->roundTimer.start();
    d->building.ids << record.m_nId;
    d->building.rows << row;
    ++d->nPending;
    if (d->building.ids.size() >= d->nStatementRows && !d->send())
        return Failed;
    return Queued;
}

bool PersonalDataBatch::isFull() const
{
    return d->nPending >= d->nRoundRows;
}

int PersonalDataBatch::pendingCount() const
{
    return d->nPending;
}

bool PersonalDataBatch::flush()
{
    if (d->bSpent)
        return false;
    if (!d->send())
        return false;
    if (!d->bInPipeline) {
        d->nPending = 0;
        return true;
    }
    if (PQpipelineSync(d->pConnection) != 1)
        return d->fail(resultText(nullptr, d->pConnection));
    QVector<QPair<int, int>> shortStatements;
    int nFailedStatement = -1;
    if (!d->readAnswers(shortStatements, nFailedStatement))
        return false;
    if (nFailedStatement != -1) {
        d->undoAndName(nFailedStatement);
        return false;
    }
    // A statement that wrote fewer rows than it had: rows removed by another
    // session since the table was read are skipped; a row that is there and
    // was not written fails the batch.
    for (const QPair<int, int> &shortStatement : qAsConst(shortStatements)) {
        const Statement &statement = d->inFlight.at(shortStatement.first);
        QVector<qint64> lstGone;
        if (!d->findMissing(statement, lstGone))
            return false;
        if (shortStatement.second + lstGone.size() < statement.ids.size()) {
            d->szError = QStringLiteral("The server left records unchanged.");
            d->undoAndName(shortStatement.first, lstGone);
            return false;
        }
        d->missing << lstGone;
    }
    d->adapt();
    d->inFlight.clear();
    d->nPending = 0;
    return true;
}

QVector<qint64> PersonalDataBatch::takeMissingIds()
{
    QVector<qint64> ids;
    ids.swap(d->missing);
    return ids;
}

qint64 PersonalDataBatch::failedId() const
{
    return d->nFailedId;
}

QString PersonalDataBatch::lastError() const
{
    return d->szError;
}
