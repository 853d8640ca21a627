#include "KivResources.h"
#include "MessageCatcher.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QVBoxLayout>
#include <QtTest>

#include <algorithm>

// Stands for the program's version-field class: the style sheet matches the
// class by its meta-object name.
class QLabelFrame : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;
};

namespace {

// A picture worth showing: a good part of it drawn, in more than a few colours.
void checkDrawn(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int nOpaque = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *pLine = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(pLine[x]) > 0) {
                ++nOpaque;
                colours.insert(pLine[x]);
            }
        }
    }
    QVERIFY2(nOpaque * 10 >= argb.width() * argb.height(), "less than a tenth of the picture is drawn");
    QVERIFY2(colours.size() >= 16, "the picture has almost no shading");
}

QColor pixelAt(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void picturesLoadAtTheirSize_data();
    void picturesLoadAtTheirSize();
    void windowIconHoldsSeveralSizes();
    void styleSheetImagesAreCompiledIn();
    void styleSheetFramesTheVersionFields();
};

void TestResources::initTestCase()
{
    initKivResources();
}

void TestResources::picturesLoadAtTheirSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    const QStringList sized = {"ForceDatabaseVersion_32",
                               "ForceDatabaseVersion_48",
                               "Language-Transalation_24",
                               "Language-Transalation_48",
                               "arrow2_down_blue_48",
                               "bullet_triangle_glass_blue_32",
                               "bullet_triangle_glass_blue_48",
                               "data_blue_16",
                               "data_blue_24",
                               "data_blue_add_32",
                               "data_blue_add_48",
                               "data_blue_backup_32",
                               "data_blue_check_32",
                               "data_blue_restore_32",
                               "document_24",
                               "door_open_32",
                               "folder_16",
                               "gear_32",
                               "information2_32",
                               "objects_24",
                               "recycle_32",
                               "server_16"};
    for (const QString &name : sized) {
        // The name's suffix is the picture's size in pixels.
        const int nSize = name.section(QLatin1Char('_'), -1).toInt();
        const QString path = QStringLiteral(":/images/%1.png").arg(name);
        QTest::newRow(qPrintable(name)) << path << QSize(nSize, nSize);
    }
    QTest::newRow("logo") << QStringLiteral(":/images/single_bird_updater.png") << QSize(258, 276);
}

void TestResources::picturesLoadAtTheirSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    checkDrawn(image);
}

void TestResources::windowIconHoldsSeveralSizes()
{
    const QString path = QStringLiteral(":/KivDataBaseUpdater.ico");
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("ico"));

    QList<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        sizes << image.width();
        // Transparency survives in every entry, the small bitmap ones included:
        // the corners are clear and the drawing itself is opaque.
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(argb.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(argb.pixel(argb.width() - 1, 0)), 0);
        bool bOpaque = false;
        for (int y = 0; y < argb.height() && !bOpaque; ++y)
            for (int x = 0; x < argb.width() && !bOpaque; ++x)
                bOpaque = qAlpha(argb.pixel(x, y)) == 255;
        QVERIFY(bOpaque);
        checkDrawn(image);
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, (QList<int>{16, 24, 32, 48, 256}));

    // QIcon offers every entry, so the window manager gets the size it asks for.
    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    const QList<QSize> available = icon.availableSizes();
    for (int nSize : sizes)
        QVERIFY2(available.contains(QSize(nSize, nSize)), qPrintable(QString::number(nSize)));
    QCOMPARE(icon.pixmap(QSize(16, 16)).size(), QSize(16, 16));
}

void TestResources::styleSheetImagesAreCompiledIn()
{
    QFile file(QStringLiteral(":/qdarkstyle/style.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString sheet = QString::fromUtf8(file.readAll());
    QVERIFY(!sheet.trimmed().isEmpty());
    QVERIFY(sheet.contains(QRegularExpression(QStringLiteral("(^|\\n)QLabelFrame\\s*\\{"))));
    QVERIFY(QFile::exists(QStringLiteral(":/qdarkstyle/COPYRIGHT")));

    const QRegularExpression urlPattern(QStringLiteral("url\\(\\s*\"?([^\")]*)\"?\\s*\\)"));
    QSet<QString> references;
    for (auto it = urlPattern.globalMatch(sheet); it.hasNext();)
        references.insert(it.next().captured(1));
    QVERIFY2(references.size() >= 10, "the sheet should refer to its arrow, check box and branch images");
    for (const QString &reference : references) {
        QVERIFY2(reference.startsWith(QLatin1String(":/qdarkstyle/")), qPrintable(reference));
        QVERIFY2(!QImage(reference).isNull(), qPrintable(reference));
    }
}

void TestResources::styleSheetFramesTheVersionFields()
{
    QFile file(QStringLiteral(":/qdarkstyle/style.qss"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));

    // Set on the window, not the application, as the program does.
    QWidget window;
    QVBoxLayout *pLayout = new QVBoxLayout(&window);
    QLabel *pPlain = new QLabel(&window);
    QLabelFrame *pField = new QLabelFrame(&window);
    pLayout->addWidget(pPlain);
    pLayout->addWidget(pField);
    pPlain->setFixedSize(120, 24);
    pField->setFixedSize(120, 24);
    // As the program's form sets them.
    pField->setFrameShape(QFrame::Box);
    pField->setFrameShadow(QFrame::Sunken);

    MessageCatcher catcher;
    window.setStyleSheet(QString::fromUtf8(file.readAll()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage plain = pPlain->grab().toImage();
    const QImage field = pField->grab().toImage();
    QVERIFY2(catcher.messages().filter(QStringLiteral("stylesheet"), Qt::CaseInsensitive).isEmpty(),
             qPrintable(catcher.messages().join(QLatin1Char('\n'))));

    // Text centred by the rule itself.
    QCOMPARE(pField->alignment(), Qt::AlignCenter);

    // A dark field, darker than a plain label of the same sheet, which keeps
    // the sheet's own background: the rule reaches the version fields only.
    const QColor plainBackground = pixelAt(plain, plain.width() / 2, plain.height() / 2);
    const QColor fieldBackground = pixelAt(field, field.width() / 2, field.height() / 2);
    QCOMPARE(plainBackground, QColor(0x19, 0x23, 0x2D));
    QVERIFY(fieldBackground.lightness() < 60);
    QVERIFY(fieldBackground.lightness() < plainBackground.lightness());

    // A visible frame, sunken: the upper edge darker than the field, the lower
    // edge lighter than the field.
    const QColor top = pixelAt(field, field.width() / 2, 0);
    const QColor bottom = pixelAt(field, field.width() / 2, field.height() - 1);
    QVERIFY(top.lightness() < fieldBackground.lightness());
    QVERIFY(bottom.lightness() > fieldBackground.lightness() + 40);
}

QTEST_MAIN(TestResources)
#include "tst_Resources.moc"
