#include "CnfServer.h"
#include "XmlFormat.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using VariantMap = QMap<QString, QVariant>;
Q_DECLARE_METATYPE(VariantMap)

class XmlFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void writesSharedElementsByteExact();
    void reportsFailedWrite();
    void roundTripsThroughSettings_data();
    void roundTripsThroughSettings();
    void readsDocuments_data();
    void readsDocuments();
    void malformedFileWarnsAndGivesDefaults_data();
    void malformedFileWarnsAndGivesDefaults();
    void refusesFilesPastTheLimits_data();
    void refusesFilesPastTheLimits();
    void readsPortRange_data();
    void readsPortRange();
    void serverSectionsGoToSoftwarePath();

private:
    QString settingsFilePath() const;
    void writeSettingsFile(const QByteArray &content) const;

    std::unique_ptr<QTemporaryDir> m_softwareDir;
};

QString XmlFormatTest::settingsFilePath() const
{
    return m_softwareDir->path() + QStringLiteral("/Marlek Telvor Group/Telvor Imaging Suite.xml");
}

void XmlFormatTest::writeSettingsFile(const QByteArray &content) const
{
    QVERIFY(QDir().mkpath(QFileInfo(settingsFilePath()).absolutePath()));
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

void XmlFormatTest::init()
{
    // A fresh folder per test: QSettings caches files by path.
    m_softwareDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_softwareDir->isValid());
}

void XmlFormatTest::writesSharedElementsByteExact()
{
    QSettings::SettingsMap map;
    map.insert(QStringLiteral("softwarePath"), QStringLiteral("/opt/KIV & co"));
    map.insert(QStringLiteral("server/compressedTraffic"), true);
    map.insert(QStringLiteral("server/chunkSize"), 104857600u);
    map.insert(QStringLiteral("server/empty"), QString());

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(XmlFormat::writeXmlFile(buffer, map));

    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<Settings>\n"
                                "    <server>\n"
                                "        <chunkSize>104857600</chunkSize>\n"
                                "        <compressedTraffic>true</compressedTraffic>\n"
                                "        <empty><![CDATA[]]></empty>\n"
                                "    </server>\n"
                                "    <softwarePath>/opt/KIV &amp; co</softwarePath>\n"
                                "</Settings>\n";
    QCOMPARE(buffer.data(), expected);
}

void XmlFormatTest::reportsFailedWrite()
{
    // A device that refuses the bytes must not be reported as written, or
    // QSettings would drop the previous file for a truncated one.
    QByteArray data;
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    map.insert(QStringLiteral("server/chunkSize"), 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ReadOnly device")));
    QVERIFY(!XmlFormat::writeXmlFile(buffer, map));
}

void XmlFormatTest::roundTripsThroughSettings_data()
{
    QTest::addColumn<VariantMap>("values");

    QTest::newRow("server keys and folder") << VariantMap{
        {"server/chunkSize", "104857600"}, {"server/compressedTraffic", "true"}, {"softwarePath", "C:/KIV"}};
    QTest::newRow("deep shared prefixes")
        << VariantMap{{"a/b/c", "1"}, {"a/b/d", "2"}, {"a/e", "3"}, {"a/f/g/h", "4"}, {"i", "5"}};
    QTest::newRow("key that is a prefix of another")
        << VariantMap{{"server", "top"}, {"server/managementPort", "51000"}, {"server/portRange", "51001:51020"}};
    QTest::newRow("names sorting between shared parts")
        << VariantMap{{"server/x", "1"}, {"server-old/y", "2"}, {"server.b/z", "3"}, {"server/z", "4"}};
    QTest::newRow("text needing escapes") << VariantMap{{"common/additionalPath1", "<a href=\"x\">&amp;'</a>"},
                                                        {"common/additionalPath2", "  padded text  "},
                                                        {"common/additionalPath3", "two\nlines"}};
    QTest::newRow("non-ASCII text") << VariantMap{{"softwarePath", QStringLiteral("D:/Zürich/日本/Ωmega")}};
    QTest::newRow("empty and blank values")
        << VariantMap{{"server/empty", ""}, {"server/blank", " \t\n "}, {"a", ""}, {"a/b", "x"}, {"c", "]]>"}};
}

void XmlFormatTest::roundTripsThroughSettings()
{
    QFETCH(VariantMap, values);

    {
        const std::unique_ptr<QSettings> settings = XmlFormat::open(m_softwareDir->path());
        QVERIFY(settings);
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            settings->setValue(it.key(), it.value());
    }
    QVERIFY(QFileInfo::exists(settingsFilePath()));

    QSettings::SettingsMap readBack;
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(XmlFormat::readXmlFile(file, readBack));
    QCOMPARE(readBack.keys(), values.keys());
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        QCOMPARE(readBack.value(it.key()).toString(), it.value().toString());
}

void XmlFormatTest::readsDocuments_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<VariantMap>("expected");

    QTest::newRow("nested and flat")
        << QByteArray(
               "<?xml version=\"1.0\"?><Settings><server><chunkSize>5</chunkSize>"
               "<compressedTraffic>false</compressedTraffic></server><softwarePath>E:/K</softwarePath></Settings>")
        << VariantMap{{"server/chunkSize", "5"}, {"server/compressedTraffic", "false"}, {"softwarePath", "E:/K"}};
    QTest::newRow("empty and blank elements give no key")
        << QByteArray("<Settings><a></a><b>   </b><c/><d>x</d></Settings>") << VariantMap{{"d", "x"}};
    QTest::newRow("text split by CDATA stays whole")
        << QByteArray("<Settings><a>one &amp; <![CDATA[<two>]]> three</a></Settings>")
        << VariantMap{{"a", "one & <two> three"}};
    QTest::newRow("inner element named Settings keeps its place")
        << QByteArray("<Settings><a><Settings><b>1</b></Settings><c>2</c></a><d>3</d></Settings>")
        << VariantMap{{"a/Settings/b", "1"}, {"a/c", "2"}, {"d", "3"}};
    QTest::newRow("text directly in the root has no key")
        << QByteArray("<Settings>stray<a>1</a></Settings>") << VariantMap{{"a", "1"}};
    QTest::newRow("root with another name is part of the key")
        << QByteArray("<Config><a>1</a></Config>") << VariantMap{{"Config/a", "1"}};
    QTest::newRow("empty and blank CDATA are values")
        << QByteArray("<Settings><a><![CDATA[]]></a><b><![CDATA[ ]]></b></Settings>")
        << VariantMap{{"a", ""}, {"b", " "}};
    QTest::newRow("text in 20000 pieces")
        << "<Settings><a>" + QByteArray("x<![CDATA[y]]>").repeated(20000) + "</a></Settings>"
        << VariantMap{{"a", QString("xy").repeated(20000)}};
    QTest::newRow("comments and attributes are ignored")
        << QByteArray("<Settings><!-- note --><a kind=\"int\">7</a></Settings>") << VariantMap{{"a", "7"}};
}

void XmlFormatTest::readsDocuments()
{
    QFETCH(QByteArray, document);
    QFETCH(VariantMap, expected);

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    QVERIFY(XmlFormat::readXmlFile(buffer, map));
    QCOMPARE(map.keys(), expected.keys());
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
        QCOMPARE(map.value(it.key()).toString(), it.value().toString());
}

void XmlFormatTest::malformedFileWarnsAndGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("document");

    QTest::newRow("mismatched tags") << QByteArray(
        "<Settings><server><chunkSize>7</server><compressedTraffic>false</compressedTraffic></Settings>");
    QTest::newRow("truncated") << QByteArray("<Settings><server><chunkSize>7</chunkSize><transmitBeforeRead>fal");
    QTest::newRow("not XML at all") << QByteArray("server/chunkSize=7\n");
    QTest::newRow("two roots") << QByteArray("<Settings><server><chunkSize>7</chunkSize></server></Settings><x/>");
}

void XmlFormatTest::malformedFileWarnsAndGivesDefaults()
{
    QFETCH(QByteArray, document);

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".+")));
    QVERIFY(!XmlFormat::readXmlFile(buffer, map));

    // Through the configuration: the warning again, and every key at its default.
    writeSettingsFile(document);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".+")));
    CnfServer server;
    QVERIFY(server.load(m_softwareDir->path()));
    QCOMPARE(server.serverParameters().chunkSize(), 104857600u);
    QCOMPARE(server.serverParameters().compressedTraffic(), true);
    QCOMPARE(server.serverParameters().transmitBeforeRead(), true);
    QCOMPARE(server.serverMain().managementPort(), 51000);
}

void XmlFormatTest::refusesFilesPastTheLimits_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("keys"); // -1: refused

    const QByteArray head = "<Settings><server><chunkSize>4096</chunkSize></server>";
    const auto nested = [](int depth, const QByteArray &name) {
        return ("<" + name + ">x").repeated(depth) + ("</" + name + ">").repeated(depth);
    };
    QByteArray manyKeys;
    for (int i = 0; i < 10000; ++i)
        manyKeys += QString("<k%1>x</k%1>").arg(i).toLatin1();

    QTest::newRow("160 KB of nested text") << head + nested(20000, "a") + "</Settings>" << -1;
    QTest::newRow("80 KB of nested text, never closed") << head + QByteArray("<a>x").repeated(20000) << -1;
    QTest::newRow("32 levels") << head + nested(32, "a") + "</Settings>" << 33;
    QTest::newRow("33 levels") << head + nested(33, "a") + "</Settings>" << -1;
    QTest::newRow("key of 1024 characters") << head + nested(1, QByteArray(1024, 'n')) + "</Settings>" << 2;
    QTest::newRow("key of 1025 characters") << head + nested(2, QByteArray(512, 'n')) + "</Settings>" << -1;
    QTest::newRow("10000 keys") << "<Settings>" + manyKeys + "</Settings>" << 10000;
    QTest::newRow("10001 keys") << head + manyKeys + "</Settings>" << -1;
    QTest::newRow("document type without entities") << "<!DOCTYPE Settings>" + head + "</Settings>" << 1;
    QTest::newRow("entity of 4000 characters used 30000 times")
        << "<!DOCTYPE Settings [<!ENTITY e \"" + QByteArray(4000, 'e') + "\">]>" + head + "<a>" +
               QByteArray("&e;").repeated(30000) + "</a></Settings>"
        << -1;
}

void XmlFormatTest::refusesFilesPastTheLimits()
{
    QFETCH(QByteArray, document);
    QFETCH(int, keys);

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    if (keys < 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The XML settings file is refused")));
    QCOMPARE(XmlFormat::readXmlFile(buffer, map), keys >= 0);
    if (keys >= 0)
        QCOMPARE(map.size(), keys);

    // Through the configuration: a refused file gives no value at all, not even its first one.
    writeSettingsFile(document);
    if (keys < 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^The XML settings file is refused")));
    CnfServer server;
    QVERIFY(server.load(m_softwareDir->path()));
    const bool bHasChunkSize = document.contains("<chunkSize>");
    QCOMPARE(server.serverParameters().chunkSize(), keys >= 0 && bHasChunkSize ? 4096u : 104857600u);
}

void XmlFormatTest::readsPortRange_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");

    QTest::newRow("two ports") << QByteArray("<portRange>52001:52010</portRange>") << 52001 << 52010;
    QTest::newRow("no colon") << QByteArray("<portRange>52001</portRange>") << 52001 << 0;
    QTest::newRow("nothing before the colon") << QByteArray("<portRange>:52010</portRange>") << 0 << 52010;
    QTest::newRow("not numbers") << QByteArray("<portRange>abc:def</portRange>") << 0 << 0;
    QTest::newRow("second colon spoils the second port") << QByteArray("<portRange>1:2:3</portRange>") << 1 << 0;
    // Never stored: the defaults stay, so that a save does not write "0:0".
    QTest::newRow("missing") << QByteArray() << 51001 << 51020;
    QTest::newRow("empty") << QByteArray("<portRange></portRange>") << 51001 << 51020;
}

void XmlFormatTest::readsPortRange()
{
    QFETCH(QByteArray, element);
    QFETCH(int, first);
    QFETCH(int, second);

    writeSettingsFile("<Settings><server><managementPort>51500</managementPort>" + element + "</server></Settings>");
    CnfServer server;
    QVERIFY(server.load(m_softwareDir->path()));
    QCOMPARE(server.serverMain().managementPort(), 51500);
    QCOMPARE(server.serverMain().portRangeFirst(), first);
    QCOMPARE(server.serverMain().portRangeSecond(), second);

    QVERIFY(server.save(m_softwareDir->path()));
    const std::unique_ptr<QSettings> settings = XmlFormat::open(m_softwareDir->path());
    QCOMPARE(settings->value(QStringLiteral("server/portRange")).toString(),
             QStringLiteral("%1:%2").arg(first).arg(second));
}

void XmlFormatTest::serverSectionsGoToSoftwarePath()
{
    // Two software folders used one after the other: the process-wide path of
    // the format follows each call.
    QTemporaryDir otherDir;
    QVERIFY(otherDir.isValid());
    writeSettingsFile("<Settings><server><chunkSize>4096</chunkSize></server></Settings>");

    CnfServer server;
    QVERIFY(server.load(m_softwareDir->path()));
    QCOMPARE(server.serverParameters().chunkSize(), 4096u);
    QVERIFY(server.save(otherDir.path()));

    QFile file(otherDir.path() + QStringLiteral("/Marlek Telvor Group/Telvor Imaging Suite.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    QVERIFY(XmlFormat::readXmlFile(file, map));
    const QStringList expectedKeys{QStringLiteral("server/chunkSize"),
                                   QStringLiteral("server/compressedTraffic"),
                                   QStringLiteral("server/managementPort"),
                                   QStringLiteral("server/portRange"),
                                   QStringLiteral("server/transmitBeforeRead")};
    QCOMPARE(map.keys(), expectedKeys);
    QCOMPARE(map.value(QStringLiteral("server/chunkSize")).toString(), QStringLiteral("4096"));
}

QTEST_GUILESS_MAIN(XmlFormatTest)
#include "tst_XmlFormat.moc"
