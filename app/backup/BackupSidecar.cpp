#include "BackupSidecar.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <openssl/evp.h>

#include <memory>

namespace {

const QString kSuffix = QStringLiteral(".sha256");
constexpr int kHashLength = 64;
// A checksum file is one short line; anything much larger is something else.
constexpr qint64 kMaxSidecarSize = 64 * 1024;
// The backup is hashed in pieces of this size.
constexpr qint64 kReadSize = 1024 * 1024;

struct DigestContextFree
{
    void operator()(EVP_MD_CTX *pContext) const { EVP_MD_CTX_free(pContext); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif

bool isHex(const QByteArray &text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// sha256sum writes a name holding a backslash or a line end escaped, and
// marks the line with a leading backslash.
QByteArray escapedName(const QByteArray &name, bool &bEscaped)
{
    bEscaped = name.contains('\\') || name.contains('\n');
    if (!bEscaped)
        return name;
    QByteArray escaped;
    for (char c : name) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

bool unescapeName(const QByteArray &escaped, QByteArray &name)
{
    name.clear();
    for (int i = 0; i < escaped.size(); ++i) {
        if (escaped.at(i) != '\\') {
            name += escaped.at(i);
            continue;
        }
        if (++i == escaped.size())
            return false;
        switch (escaped.at(i)) {
        case '\\':
            name += '\\';
            break;
        case 'n':
            name += '\n';
            break;
        case 'r':
            name += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

// One line of sha256sum's output: "<hash>  <name>" in text mode,
// "<hash> *<name>" in binary mode.
bool parseLine(QByteArray line, QString &szHash, QString &szName)
{
    const bool bEscaped = line.startsWith('\\');
    if (bEscaped)
        line.remove(0, 1);
    if (line.size() < kHashLength + 3 || !isHex(line.left(kHashLength)) || line.at(kHashLength) != ' ' ||
        (line.at(kHashLength + 1) != ' ' && line.at(kHashLength + 1) != '*'))
        return false;
    QByteArray name = line.mid(kHashLength + 2);
    if (bEscaped && !unescapeName(line.mid(kHashLength + 2), name))
        return false;
    if (name.startsWith("./"))
        name.remove(0, 2);
    szHash = QString::fromLatin1(line.left(kHashLength)).toLower();
    szName = QString::fromUtf8(name);
    return true;
}

} // namespace

QString BackupSidecar::sidecarPath(const QString &szFile)
{
    return szFile + kSuffix;
}

bool BackupSidecar::sha256(const QString &szFile, QString &szHash, QString &szError)
{
    QFile file(szFile);
    if (!file.open(QIODevice::ReadOnly)) {
        szError = QStringLiteral("The file %1 cannot be read: %2").arg(szFile, file.errorString());
        return false;
    }
    // OpenSSL's SHA-256 uses the processor's SHA instructions where there
    // are some: a backup of gigabytes is hashed about as fast as it is read.
    const DigestContext context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        szError = QStringLiteral("The checksum of %1 cannot be computed: OpenSSL has no SHA-256.").arg(szFile);
        return false;
    }
    QByteArray buffer(int(kReadSize), Qt::Uninitialized);
    for (;;) {
        const qint64 nRead = file.read(buffer.data(), kReadSize);
        if (nRead < 0) {
            szError = QStringLiteral("The file %1 cannot be read: %2").arg(szFile, file.errorString());
            return false;
        }
        if (nRead == 0)
            break;
        if (EVP_DigestUpdate(context.get(), buffer.constData(), size_t(nRead)) != 1) {
            szError = QStringLiteral("The checksum of %1 cannot be computed.").arg(szFile);
            return false;
        }
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int nLength = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &nLength) != 1) {
        szError = QStringLiteral("The checksum of %1 cannot be computed.").arg(szFile);
        return false;
    }
    szHash = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(nLength)).toHex());
    return true;
}

bool BackupSidecar::write(const QString &szFile, QString &szError, QString *pszHash)
{
    QString szHash;
    if (!sha256(szFile, szHash, szError) || !writeWithChecksum(szFile, szHash, szError))
        return false;
    if (pszHash)
        *pszHash = szHash;
    return true;
}

bool BackupSidecar::writeWithChecksum(const QString &szFile, const QString &szHash, QString &szError)
{
    bool bEscaped = false;
    const QByteArray name = escapedName(QFileInfo(szFile).fileName().toUtf8(), bEscaped);
    const QByteArray line = (bEscaped ? "\\" : "") + szHash.toLatin1() + "  " + name + '\n';

    const QString szSidecar = sidecarPath(szFile);
    QSaveFile sidecar(szSidecar);
    if (!sidecar.open(QIODevice::WriteOnly) || sidecar.write(line) != line.size() || !sidecar.commit()) {
        szError = QStringLiteral("The checksum file %1 cannot be written: %2").arg(szSidecar, sidecar.errorString());
        return false;
    }
    return true;
}

BackupSidecar::Check BackupSidecar::verify(const QString &szFile)
{
    Check check;
    const QString szSidecar = sidecarPath(szFile);
    const QFileInfo info(szSidecar);
    if (!info.exists()) {
        check.eState = State::Absent;
        check.szReason = QStringLiteral("There is no checksum file %1.").arg(szSidecar);
        return check;
    }

    check.eState = State::SidecarUnreadable;
    QFile sidecar(szSidecar);
    if (!info.isFile() || !sidecar.open(QIODevice::ReadOnly)) {
        check.szReason =
            QStringLiteral("The checksum file %1 cannot be read: %2").arg(szSidecar, sidecar.errorString());
        return check;
    }
    if (sidecar.size() > kMaxSidecarSize) {
        check.szReason = QStringLiteral("The checksum file %1 is too large for a checksum file.").arg(szSidecar);
        return check;
    }
    const QList<QByteArray> lstLines = sidecar.readAll().split('\n');

    // The line about this file; a checksum file may list others too, but a
    // damaged line makes the whole file suspect.
    const QString szName = QFileInfo(szFile).fileName();
    QString szOtherName;
    int nLine = 0;
    for (QByteArray line : lstLines) {
        ++nLine;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QString szHash;
        QString szLineName;
        if (!parseLine(line, szHash, szLineName)) {
            check.szReason = QStringLiteral("The checksum file %1 is not in the format of sha256sum (line %2).")
                                 .arg(szSidecar, QString::number(nLine));
            return check;
        }
        if (szLineName.compare(szName, kNameCase) == 0) {
            if (check.szExpected.isEmpty())
                check.szExpected = szHash;
        } else if (szOtherName.isNull()) {
            szOtherName = szLineName;
        }
    }
    if (check.szExpected.isEmpty()) {
        check.szReason =
            szOtherName.isNull()
                ? QStringLiteral("The checksum file %1 is empty.").arg(szSidecar)
                : QStringLiteral("The checksum file %1 is about %2, not about %3.").arg(szSidecar, szOtherName, szName);
        return check;
    }

    QString szError;
    if (!sha256(szFile, check.szActual, szError)) {
        check.eState = State::FileUnreadable;
        check.szReason = szError;
        return check;
    }
    if (check.szActual == check.szExpected) {
        check.eState = State::Matches;
        check.szReason = QStringLiteral("The checksum of %1 matches its checksum file.").arg(szFile);
    } else {
        check.eState = State::Mismatch;
        check.szReason = QStringLiteral("The checksum of %1 is %2, but its checksum file %3 expects %4.")
                             .arg(szFile, check.szActual, szSidecar, check.szExpected);
    }
    return check;
}
