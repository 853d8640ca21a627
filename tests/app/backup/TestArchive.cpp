#include "TestArchive.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int kBlock = 512;

void putOctal(QByteArray &header, int nOffset, int nLength, qint64 nValue)
{
    // Digits, then a NUL, as tar writes them.
    const QByteArray digits = QByteArray::number(nValue, 8).rightJustified(nLength - 1, '0');
    header.replace(nOffset, nLength - 1, digits);
    header[nOffset + nLength - 1] = '\0';
}

} // namespace

TestArchive::TestArchive(const QVersionNumber &version) : m_version(version) {}

void TestArchive::setIntSize(int nIntSize)
{
    m_nIntSize = nIntSize;
}

void TestArchive::setFormat(int nFormat)
{
    m_nFormat = nFormat;
}

void TestArchive::addEntry(const Entry &entry)
{
    m_lstEntries << entry;
}

void TestArchive::writeInt(QByteArray &out, qint64 nValue) const
{
    out += char(nValue < 0 ? 1 : 0);
    quint64 nMagnitude = quint64(nValue < 0 ? -nValue : nValue);
    for (int i = 0; i < m_nIntSize; ++i) {
        out += char(nMagnitude & 0xff);
        nMagnitude >>= 8;
    }
}

void TestArchive::writeString(QByteArray &out, const QByteArray &value, bool bNull) const
{
    if (bNull) {
        writeInt(out, -1);
        return;
    }
    writeInt(out, value.size());
    out += value;
}

QByteArray TestArchive::tocData() const
{
    const auto atLeast = [this](int nMinor) { return m_version >= QVersionNumber(1, nMinor); };
    QByteArray out("PGDMP");
    out += char(m_version.majorVersion());
    out += char(m_version.minorVersion());
    out += char(m_version.microVersion());
    out += char(m_nIntSize);
    out += char(8);
    out += char(m_nFormat);
    if (atLeast(15))
        out += char(0);
    else
        writeInt(out, 0);
    // 6 December 2026, 14:03:07, no daylight saving time.
    for (qint64 nField : {7, 3, 14, 6, 11, 126, 0})
        writeInt(out, nField);
    writeString(out, "pelq");
    writeString(out, "15.18 (Debian 15.18-0+deb12u1)");
    writeString(out, "15.18 (Debian 15.18-0+deb12u1)");

    writeInt(out, m_lstEntries.size());
    for (const Entry &entry : m_lstEntries) {
        writeInt(out, entry.nDumpId);
        writeInt(out, entry.bHasData ? 1 : 0);
        writeString(out, "0");
        writeString(out, "16386");
        writeString(out, entry.szTag.toUtf8());
        writeString(out, entry.szDesc.toUtf8());
        writeInt(out, 2);
        writeString(out, entry.definition);
        writeString(out, "");
        writeString(out, "", true);
        writeString(out, entry.szNamespace.toUtf8(), entry.szNamespace.isEmpty());
        writeString(out, "");
        if (atLeast(14))
            writeString(out, "heap");
        if (atLeast(16))
            writeInt(out, 'r');
        writeString(out, "marlek");
        writeString(out, "false");
        writeString(out, "210");
        writeString(out, "211");
        writeString(out, "", true);
        writeString(out, entry.szMember.toUtf8());
    }
    return out;
}

TestArchive TestArchive::typical(const QVersionNumber &version)
{
    const bool bGrouped = version >= QVersionNumber(1, 16);
    TestArchive archive(version);
    const auto add = [&archive](int nDumpId,
                                const char *pszDesc,
                                const char *pszNamespace,
                                const char *pszTag,
                                const QByteArray &definition,
                                const char *pszMember = "") {
        archive.addEntry(Entry{nDumpId,
                               QString::fromLatin1(pszDesc),
                               QString::fromLatin1(pszNamespace),
                               QString::fromLatin1(pszTag),
                               definition,
                               *pszMember != '\0',
                               QString::fromLatin1(pszMember)});
    };
    add(100, "ENCODING", "", "ENCODING", "SET client_encoding = 'UTF8';\n");
    add(101, "STDSTRINGS", "", "STDSTRINGS", "SET standard_conforming_strings = 'on';\n");
    add(102, "SEARCHPATH", "", "SEARCHPATH", "SELECT pg_catalog.set_config('search_path', '', false);\n");
    add(103, "DATABASE", "", "pelq", "CREATE DATABASE pelq WITH TEMPLATE = template0;\n");
    add(104, "COMMENT", "", "DATABASE pelq", "COMMENT ON DATABASE pelq IS 'images';\n");
    add(105, "SCHEMA", "", "public", "");
    add(210, "TABLE", "public", "images", "CREATE TABLE public.images (id integer, picture oid);\n");
    add(211, "TABLE", "public", "empty_t", "CREATE TABLE public.empty_t (a integer);\n");
    add(212, "SEQUENCE", "public", "s", "CREATE SEQUENCE public.s;\n");
    if (bGrouped) {
        add(3353, "BLOB METADATA", "", "16403..16404", "16403\n16404\n");
    } else {
        add(3353, "BLOB", "", "16403", "SELECT pg_catalog.lo_create('16403');\n");
        add(3354, "BLOB", "", "16404", "SELECT pg_catalog.lo_create('16404');\n");
    }
    add(3342, "TABLE DATA", "public", "images", "", "3342.dat");
    add(3343, "TABLE DATA", "public", "empty_t", "", "3343.dat");
    add(3363, "SEQUENCE SET", "public", "s", "SELECT pg_catalog.setval('public.s', 1, false);\n");
    // The tar format names "<id>.dat" for large objects too, and never
    // writes it.
    add(3356, "BLOBS", "", bGrouped ? "16403..16404" : "BLOBS", "", "3356.dat");
    add(3206, "CONSTRAINT", "public", "images images_pkey", "ALTER TABLE ONLY public.images ADD PRIMARY KEY (id);\n");
    return archive;
}

QList<QPair<QString, QByteArray>> TestArchive::typicalMembers(const QVersionNumber &version)
{
    const QString szBlobsToc =
        version >= QVersionNumber(1, 16) ? QStringLiteral("blobs_3356.toc") : QStringLiteral("blobs.toc");
    return {{QStringLiteral("toc.dat"), typical(version).tocData()},
            {QStringLiteral("3342.dat"), QByteArray("1\t16403\n2\t16404\n\\.\n\n")},
            {QStringLiteral("3343.dat"), QByteArray("\\.\n\n\n")},
            {QStringLiteral("blob_16403.dat"), QByteArray(700, 'x')},
            {QStringLiteral("blob_16404.dat"), QByteArray()},
            {szBlobsToc, QByteArray("16403 blob_16403.dat\n16404 blob_16404.dat\n")},
            {QStringLiteral("restore.sql"), QByteArray("--\n-- restore script\n--\n")}};
}

QByteArray TestArchive::typicalArchive(const QVersionNumber &version, const QStringList &lstLeftOut)
{
    QList<QPair<QString, QByteArray>> lstMembers = typicalMembers(version);
    lstMembers.erase(std::remove_if(lstMembers.begin(),
                                    lstMembers.end(),
                                    [&lstLeftOut](const QPair<QString, QByteArray> &member) {
                                        return lstLeftOut.contains(member.first);
                                    }),
                     lstMembers.end());
    return tar(lstMembers);
}

QByteArray TestArchive::tarMember(const QString &szName, const QByteArray &data, bool bBase256)
{
    QByteArray header(kBlock, '\0');
    const QByteArray name = szName.toUtf8();
    header.replace(0, name.size(), name);
    putOctal(header, 100, 8, 0600);
    putOctal(header, 108, 8, 0);
    putOctal(header, 116, 8, 0);
    if (bBase256) {
        QByteArray size(12, '\0');
        size[0] = char(0x80);
        qint64 nSize = data.size();
        for (int i = 11; i >= 1; --i) {
            size[i] = char(nSize & 0xff);
            nSize >>= 8;
        }
        header.replace(124, 12, size);
    } else {
        putOctal(header, 124, 12, data.size());
    }
    putOctal(header, 136, 12, 1796566987);
    header[156] = '0';
    header.replace(257,
                   8,
                   QByteArray("ustar\0"
                              "00",
                              8));
    header.replace(148, 8, QByteArray(8, ' '));
    qint64 nSum = 0;
    for (char c : qAsConst(header))
        nSum += static_cast<unsigned char>(c);
    putOctal(header, 148, 7, nSum);
    header[155] = ' ';

    QByteArray padded = data;
    padded.append(QByteArray((kBlock - data.size() % kBlock) % kBlock, '\0'));
    return header + padded;
}

QByteArray TestArchive::tarEnd()
{
    return QByteArray(2 * kBlock, '\0');
}

QByteArray TestArchive::tar(const QList<QPair<QString, QByteArray>> &lstMembers)
{
    QByteArray archive;
    for (const auto &member : lstMembers)
        archive += tarMember(member.first, member.second);
    return archive + tarEnd();
}
