#include "GrowingFileHash.h"

#include <QByteArray>
#include <QFile>

#include <openssl/evp.h>

#include <memory>

namespace {

constexpr qint64 kReadSize = 1024 * 1024;
// How long the thread waits for the file to grow before it looks again.
constexpr int kPollMs = 20;

struct DigestContextFree
{
    void operator()(EVP_MD_CTX *pContext) const { EVP_MD_CTX_free(pContext); }
};

} // namespace

GrowingFileHash::GrowingFileHash(const QString &szFile) : m_szFile(szFile) {}

GrowingFileHash::~GrowingFileHash()
{
    writerEnded();
    if (m_thread.joinable())
        m_thread.join();
}

void GrowingFileHash::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread(&GrowingFileHash::run, this);
}

void GrowingFileHash::writerEnded()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bWriterEnded = true;
    }
    m_writerEnded.notify_all();
}

bool GrowingFileHash::result(QString &szHash, QString &szError)
{
    start();
    writerEnded();
    m_thread.join();
    szHash = m_szHash;
    szError = m_szError;
    return m_bOk;
}

qint64 GrowingFileHash::size() const
{
    return m_nSize;
}

bool GrowingFileHash::waitForWriter(int nMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_writerEnded.wait_for(lock, std::chrono::milliseconds(nMs), [this] { return m_bWriterEnded; });
}

void GrowingFileHash::run()
{
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        m_szError = QStringLiteral("The checksum of %1 cannot be computed: OpenSSL has no SHA-256.").arg(m_szFile);
        return;
    }
    // Unbuffered: every read asks the system, which sees what was written
    // since the last one.
    // The writer may not have made the file yet.
    QFile file(m_szFile);
    const QIODevice::OpenMode eMode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    bool bOpen = file.open(eMode);
    while (!bOpen) {
        const bool bEnded = waitForWriter(kPollMs);
        bOpen = file.open(eMode);
        if (!bOpen && bEnded) {
            m_szError = QStringLiteral("The file %1 cannot be read: %2").arg(m_szFile, file.errorString());
            return;
        }
    }
    QByteArray buffer(int(kReadSize), Qt::Uninitialized);
    for (;;) {
        // Whether the writer had ended before this read: then a short read is
        // the end of the file.
        bool bEnded = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            bEnded = m_bWriterEnded;
        }
        const qint64 nRead = file.read(buffer.data(), kReadSize);
        if (nRead < 0) {
            m_szError = QStringLiteral("The file %1 cannot be read: %2").arg(m_szFile, file.errorString());
            return;
        }
        if (nRead > 0) {
            if (EVP_DigestUpdate(context.get(), buffer.constData(), size_t(nRead)) != 1) {
                m_szError = QStringLiteral("The checksum of %1 cannot be computed.").arg(m_szFile);
                return;
            }
            m_nSize += nRead;
            continue;
        }
        if (bEnded)
            break;
        waitForWriter(kPollMs);
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int nLength = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &nLength) != 1) {
        m_szError = QStringLiteral("The checksum of %1 cannot be computed.").arg(m_szFile);
        return;
    }
    m_szHash = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(nLength)).toHex());
    m_bOk = true;
}
