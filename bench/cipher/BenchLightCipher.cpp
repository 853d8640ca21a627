// Light cipher throughput against plain qCompress (level 9) of the same bytes,
// measured in the same run. Usage: BenchLightCipher [rounds]

#include "LightCipher.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr quint64 kKey = Q_UINT64_C(0x0123456789ABCDEF);

template <typename F> double bestSeconds(int rounds, F work)
{
    double best = 1e30;
    for (int r = 0; r < 3; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i)
            work();
        best = qMin(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void measure(const char *label, const QByteArray &plain, int rounds)
{
    LightCipher cipher(kKey);
    const QByteArray encrypted = cipher.EncryptBytes(plain);
    volatile int sink = 0;
    const double compress = bestSeconds(rounds, [&] { sink = sink + qCompress(plain, 9).size(); });
    const double encrypt = bestSeconds(rounds, [&] { sink = sink + cipher.EncryptBytes(plain).size(); });
    const double decrypt = bestSeconds(rounds, [&] { sink = sink + cipher.DecryptBytes(encrypted).size(); });
    const double megabytes = double(plain.size()) * rounds / (1024.0 * 1024.0);
    std::printf("%-28s qCompress %8.1f MB/s | encrypt %8.1f MB/s (%.2fx qCompress time) | decrypt %8.1f MB/s\n",
                label,
                megabytes / compress,
                megabytes / encrypt,
                encrypt / compress,
                megabytes / decrypt);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;

    const QByteArray line("\nKIV00000001<2026-03-02 09:05:03:007> Script v.01.04.01/12.sql executed, 4711 rows");
    QByteArray block;
    while (block.size() < 64 * 1024)
        block += line;
    QByteArray random(64 * 1024, '\0');
    quint32 state = 12345;
    for (char &ch : random) {
        state = state * 1664525u + 1013904223u;
        ch = static_cast<char>(state >> 24);
    }

    measure("log line (87 bytes)", line, rounds);
    measure("repetitive block (64 KB)", block, qMax(1, rounds / 200));
    measure("random block (64 KB)", random, qMax(1, rounds / 200));
    return 0;
}
