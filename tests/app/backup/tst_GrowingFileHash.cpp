#include "GrowingFileHash.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

// The checksum of a file hashed while another thread writes it, compared with
// Qt's own SHA-256 of the whole content.
class TestGrowingFileHash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void followsTheWriter_data();
    void followsTheWriter();
    void missingFileIsAnError();

private:
    QTemporaryDir m_dir;
    int m_nFile = 0;
};

void TestGrowingFileHash::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestGrowingFileHash::followsTheWriter_data()
{
    // The pieces the writer appends one after the other, with a pause after
    // each; whether the file exists before the hash starts.
    QTest::addColumn<QList<int>>("pieces");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("createdFirst");

    QTest::newRow("empty file") << QList<int>{} << 0 << true;
    QTest::newRow("one piece, no pause") << QList<int>{1000} << 0 << true;
    QTest::newRow("file made after the start") << QList<int>{512, 512, 10240} << 30 << false;
    // Pieces across the 1 MiB the thread reads at a time.
    QTest::newRow("pieces across the read size") << QList<int>{700000, 700000, 1048576, 1, 3000000} << 25 << true;
    QTest::newRow("many small pieces") << QVector<int>(200, 4099).toList() << 1 << true;
    QTest::newRow("written before the start") << QList<int>{5000000} << -1 << true;
}

void TestGrowingFileHash::followsTheWriter()
{
    QFETCH(QList<int>, pieces);
    QFETCH(int, pauseMs);
    QFETCH(bool, createdFirst);

    const QString szPath = m_dir.filePath(QStringLiteral("growing-%1.tar").arg(++m_nFile));
    QByteArray content;
    for (int i = 0; i < pieces.size(); ++i) {
        QByteArray piece(pieces.at(i), Qt::Uninitialized);
        for (int j = 0; j < piece.size(); ++j)
            piece[j] = char((j * 31 + i * 7) & 0xff);
        content += piece;
    }
    const auto write = [&] {
        QFile file(szPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
        int nOffset = 0;
        for (const int nPiece : qAsConst(pieces)) {
            file.write(content.constData() + nOffset, nPiece);
            nOffset += nPiece;
            if (pauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
    };
    if (createdFirst) {
        QFile file(szPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    GrowingFileHash hash(szPath);
    if (pauseMs < 0) {
        // The writer has ended before the hash starts.
        write();
        hash.writerEnded();
        hash.start();
    } else {
        hash.start();
        std::thread writer(write);
        writer.join();
        hash.writerEnded();
    }
    QString szHash;
    QString szError;
    QVERIFY2(hash.result(szHash, szError), qPrintable(szError));
    QCOMPARE(szHash, QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex()));
    QCOMPARE(hash.size(), qint64(content.size()));
}

void TestGrowingFileHash::missingFileIsAnError()
{
    // A writer that never made its file: the hash ends with the writer.
    const QString szPath = m_dir.filePath(QStringLiteral("never written.tar"));
    GrowingFileHash hash(szPath);
    hash.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QString szHash;
    QString szError;
    QVERIFY(!hash.result(szHash, szError));
    QVERIFY(szHash.isEmpty());
    QVERIFY2(szError.startsWith(QStringLiteral("The file %1 cannot be read").arg(szPath)), qPrintable(szError));
}

QTEST_GUILESS_MAIN(TestGrowingFileHash)
#include "tst_GrowingFileHash.moc"
