// Measures encrypt + decrypt round trips of HalvexLib values and prints them
// as a ratio against raw EVP AES-256-CBC over the same plain bytes, measured
// in the same run (fresh cipher context per operation, as the library does).

#include "SymmetricEncryption.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QTextStream>

#include <openssl/evp.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {
const unsigned char kKey[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
const unsigned char kIv[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};

qint64 g_sink = 0;

QByteArray rawCrypt(bool encrypt, const QByteArray &input)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    QByteArray out(input.size() + 16, Qt::Uninitialized);
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    int n = 0;
    int f = 0;
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, kKey, kIv, encrypt ? 1 : 0) != 1 ||
        EVP_CipherUpdate(ctx.get(), o, &n, reinterpret_cast<const unsigned char *>(input.constData()), input.size()) !=
            1 ||
        EVP_CipherFinal_ex(ctx.get(), o + n, &f) != 1)
        return QByteArray();
    out.resize(n + f);
    return out;
}

// Best of several rounds, in nanoseconds per round trip.
double nanosPerOp(int iterations, const std::function<void()> &op)
{
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < iterations; ++i)
            op();
        const double perOp = double(timer.nsecsElapsed()) / iterations;
        best = round == 0 ? perOp : std::min(best, perOp);
    }
    return best;
}

template <typename T> QByteArray plainBytes(const T &value)
{
    QByteArray plain;
    QDataStream stream(&plain, QIODevice::WriteOnly);
    stream << value;
    return plain;
}

void report(QTextStream &out, const QString &name, double library, double raw)
{
    out << QString("%1  library %2 ns  raw EVP %3 ns  ratio %4\n")
               .arg(name, -28)
               .arg(library, 9, 'f', 0)
               .arg(raw, 9, 'f', 0)
               .arg(library / raw, 5, 'f', 2);
}

void benchString(QTextStream &out, const SymmetricEncryption &enc, int length, int iterations)
{
    const QString value(length, QLatin1Char('s'));
    const QByteArray plain = plainBytes(value);
    const double library = nanosPerOp(iterations, [&] {
        QString back;
        enc.decrypt(enc.encrypt(value), back);
        g_sink += back.size();
    });
    const double raw = nanosPerOp(iterations, [&] { g_sink += rawCrypt(false, rawCrypt(true, plain)).size(); });
    report(out, QString("QString of %1 chars").arg(length), library, raw);
}
} // namespace

int main()
{
    QTextStream out(stdout);
    const SymmetricEncryption enc(kKey, 32, kIv, 16);
    out << "encrypt + decrypt round trip, best of 5 rounds\n";

    benchString(out, enc, 32, 20000);
    benchString(out, enc, 2048, 5000);

    const QByteArray block(4096, 'b');
    const IEncryption &iface = enc;
    const double library = nanosPerOp(5000, [&] { g_sink += iface.decryptData(iface.encryptData(block)).size(); });
    const double raw = nanosPerOp(5000, [&] { g_sink += rawCrypt(false, rawCrypt(true, block)).size(); });
    report(out, "4 KiB bytes (encryptData)", library, raw);

    out << "checksum " << g_sink << "\n";
    return 0;
}
