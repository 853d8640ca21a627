#pragma once

#include "kivdblib_global.h"

#include <QString>
#include <QVector>

#include <memory>

class PersonalData;

// Saves many PersonalData records encrypted without waiting for the server's
// answer to each: the rows are gathered into statements of many rows each,
// and these are sent in libpq's pipeline mode, several in flight, while the
// next rows are encrypted. Every value is encrypted in this library under a
// nonce of its row (values stored encrypted already stay as they are, NULL
// stays NULL), as PersonalData::save() does with the encryption switch on.
//
// Works on Qt's default connection, inside the caller's transaction: a batch
// begins with a savepoint of its own, and a failed flush() rolls back to it,
// so that after a failure nothing this batch saved stays and the caller's
// earlier work in the transaction is untouched. Between the first add() after
// a flush() and the next flush() the connection belongs to the batch: nothing
// else may run a statement on it. After flush() it is back to normal use.
//
// The number of rows in flight follows the pace of the server and of the
// encryption, so that one round of add() calls up to isFull() and one flush()
// takes about kRoundMs: a caller that keeps a window responsive between
// rounds stays so on a slow server as on a fast one.
class KIVDBLIB_EXPORT PersonalDataBatch
{
public:
    static constexpr int kRoundMs = 20;

    enum AddResult
    {
        // Encrypted and queued for the next statement.
        Queued,
        // Every value is NULL or stored encrypted already: nothing to write.
        Unchanged,
        // A value must be encrypted and there is no data key.
        NoDataKey,
        // Not queued: lastError() says why.
        Failed
    };

    PersonalDataBatch();
    virtual ~PersonalDataBatch();
    PersonalDataBatch(const PersonalDataBatch &) = delete;
    PersonalDataBatch &operator=(const PersonalDataBatch &) = delete;

    // Queues the save of a record loaded with every column (values as
    // stored). The columns of "PERSONALDATA" are taken at the first add().
    AddResult add(const PersonalData &record);
    // Enough rows are in flight for one round: the caller should flush().
    bool isFull() const;
    // Rows queued or in flight since the last flush().
    int pendingCount() const;

    // Sends what is queued, waits for every answer and gives the connection
    // back. False when a save failed or the connection broke: failedId()
    // then names the record whose save failed (0 when it could not be told)
    // and lastError() gives the server's text; the batch is then spent.
    bool flush();
    // IDs of queued records that had no row any more when they were saved
    // (removed by another session), since the last call.
    QVector<qint64> takeMissingIds();
    qint64 failedId() const;
    QString lastError() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};
