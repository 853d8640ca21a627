// Build-time tool: renders the program's SVG pictures to PNG files and writes
// the multi-size window icon. Any warning of the SVG reader fails the run, so a
// drawing that uses something the renderer ignores is noticed at build time
// instead of shipping with a part missing.
//
//   kivimagerender png <in.svg> <width> <height> <out.png>
//   kivimagerender ico <out.ico> <in.svg>:<size> [<in.svg>:<size> ...]
//
// Icon entries up to 48 pixels are stored as 32-bit bitmaps with an AND mask,
// which every reader of the format understands; the 256-pixel entry as PNG,
// as Windows stores its own large icons.

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QStringList>
#include <QSvgRenderer>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

int g_nWarnings = 0;

void countingMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_nWarnings;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool fail(const QString &text)
{
    std::fprintf(stderr, "kivimagerender: %s\n", qPrintable(text));
    return false;
}

bool render(const QString &szSvg, const QSize &size, QImage &image)
{
    const int nWarningsBefore = g_nWarnings;
    QSvgRenderer renderer(szSvg);
    if (!renderer.isValid())
        return fail(QStringLiteral("%1 is not a valid SVG file").arg(szSvg));

    image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // A drawing whose proportions differ from the image's (the logo in the
    // square icon) is scaled to fit and centred, never stretched.
    QSizeF target = renderer.viewBoxF().size();
    target.scale(QSizeF(size), Qt::KeepAspectRatio);
    const QPointF origin((size.width() - target.width()) / 2, (size.height() - target.height()) / 2);
    renderer.render(&painter, QRectF(origin, target));
    painter.end();
    image = image.convertToFormat(QImage::Format_ARGB32);

    if (g_nWarnings != nWarningsBefore)
        return fail(QStringLiteral("%1 uses features the renderer does not support").arg(szSvg));
    return true;
}

bool writeFile(const QString &szPath, const QByteArray &data)
{
    QSaveFile file(szPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(szPath));
    return true;
}

bool writePng(const QString &szSvg, const QSize &size, const QString &szOut)
{
    QImage image;
    if (!render(szSvg, size, image))
        return false;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return fail(QStringLiteral("cannot encode %1").arg(szOut));
    return writeFile(szOut, data);
}

// BITMAPINFOHEADER, bottom-up BGRA rows, then the 1-bit AND mask (set where
// the picture is fully transparent), each mask row padded to 32 bits.
QByteArray bitmapEntry(const QImage &image)
{
    const int nWidth = image.width();
    const int nHeight = image.height();
    const int nMaskStride = ((nWidth + 31) / 32) * 4;

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(nWidth) << qint32(nHeight * 2) << quint16(1) << quint16(32) << quint32(0)
        << quint32(nWidth * nHeight * 4 + nMaskStride * nHeight) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = nHeight - 1; y >= 0; --y) {
        const QRgb *pLine = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < nWidth; ++x)
            out << quint8(qBlue(pLine[x])) << quint8(qGreen(pLine[x])) << quint8(qRed(pLine[x]))
                << quint8(qAlpha(pLine[x]));
    }
    for (int y = nHeight - 1; y >= 0; --y) {
        const QRgb *pLine = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray row(nMaskStride, '\0');
        for (int x = 0; x < nWidth; ++x) {
            if (qAlpha(pLine[x]) == 0)
                row[x / 8] = char(quint8(row[x / 8]) | (0x80 >> (x % 8)));
        }
        out.writeRawData(row.constData(), row.size());
    }
    return data;
}

bool writeIco(const QString &szOut, const QStringList &entries)
{
    struct Entry
    {
        int nSize;
        QByteArray data;
    };
    QVector<Entry> images;
    for (const QString &szEntry : entries) {
        const int nColon = szEntry.lastIndexOf(QLatin1Char(':'));
        bool bOk = false;
        const int nSize = nColon > 0 ? szEntry.mid(nColon + 1).toInt(&bOk) : 0;
        if (!bOk || nSize < 1 || nSize > 256)
            return fail(QStringLiteral("bad icon entry %1 (expected file.svg:size, size 1 to 256)").arg(szEntry));
        QImage image;
        if (!render(szEntry.left(nColon), QSize(nSize, nSize), image))
            return false;
        QByteArray data;
        if (nSize >= 256) {
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                return fail(QStringLiteral("cannot encode the %1 pixel entry").arg(nSize));
        } else {
            data = bitmapEntry(image);
        }
        images.append({nSize, data});
    }
    if (images.isEmpty())
        return fail(QStringLiteral("an icon needs at least one entry"));
    std::stable_sort(images.begin(), images.end(), [](const Entry &a, const Entry &b) { return a.nSize < b.nSize; });

    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 nOffset = 6 + 16 * images.size();
    for (const Entry &entry : images) {
        // A width or height of 256 is stored as 0.
        out << quint8(entry.nSize % 256) << quint8(entry.nSize % 256) << quint8(0) << quint8(0) << quint16(1)
            << quint16(32) << quint32(entry.data.size()) << quint32(nOffset);
        nOffset += entry.data.size();
    }
    for (const Entry &entry : images)
        out.writeRawData(entry.data.constData(), entry.data.size());
    return writeFile(szOut, ico);
}

int usage()
{
    std::fprintf(stderr,
                 "usage: kivimagerender png <in.svg> <width> <height> <out.png>\n"
                 "       kivimagerender ico <out.ico> <in.svg>:<size> [<in.svg>:<size> ...]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(countingMessageHandler);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (args.size() == 5 && args[0] == QLatin1String("png")) {
        bool bWidthOk = false;
        bool bHeightOk = false;
        const QSize size(args[2].toInt(&bWidthOk), args[3].toInt(&bHeightOk));
        if (!bWidthOk || !bHeightOk || size.isEmpty())
            return usage();
        return writePng(args[1], size, args[4]) ? 0 : 1;
    }
    if (args.size() >= 3 && args[0] == QLatin1String("ico"))
        return writeIco(args[1], args.mid(2)) ? 0 : 1;
    return usage();
}
