#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>

namespace {

// One message of a Qt Linguist source file.
struct Message
{
    QString szContext;
    QString szSource;
    QString szComment;
    bool bNumerus = false;
    QString szType;              // of the translation: empty when finished, else unfinished, vanished or obsolete
    QStringList lstTranslations; // the translation, or each plural form
};

struct TsFile
{
    QString szLanguage;
    QList<Message> lstMessages;
    QString szError;
};

void readMessage(QXmlStreamReader &xml, Message &message)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("source")) {
            message.szSource = xml.readElementText();
        } else if (xml.name() == QLatin1String("comment")) {
            message.szComment = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.szType = xml.attributes().value(QLatin1String("type")).toString();
            if (!message.bNumerus) {
                message.lstTranslations << xml.readElementText();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("numerusform"))
                    message.lstTranslations << xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
}

TsFile readTs(const QString &szPath)
{
    TsFile ts;
    QFile file(szPath);
    if (!file.open(QIODevice::ReadOnly)) {
        ts.szError = szPath + QStringLiteral(": ") + file.errorString();
        return ts;
    }
    QXmlStreamReader xml(&file);
    QString szContext;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("TS")) {
            ts.szLanguage = xml.attributes().value(QLatin1String("language")).toString();
            continue; // into its contexts
        }
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("name")) {
                szContext = xml.readElementText();
            } else if (xml.name() == QLatin1String("message")) {
                Message message;
                message.szContext = szContext;
                message.bNumerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
                readMessage(xml, message);
                ts.lstMessages << message;
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError())
        ts.szError = szPath + QStringLiteral(": ") + xml.errorString();
    return ts;
}

QString key(const Message &message)
{
    return message.szContext + QStringLiteral(" | ") + message.szSource + QStringLiteral(" | ") + message.szComment;
}

// "%1", "%L2", "%n": what QString::arg and tr's plural fill in.
QStringList placeholders(const QString &szText)
{
    static const QRegularExpression s_placeholder(QStringLiteral("%(L?\\d+|n)"));
    QStringList lst;
    auto it = s_placeholder.globalMatch(szText);
    while (it.hasNext())
        lst << it.next().captured();
    std::sort(lst.begin(), lst.end());
    return lst;
}

// Keyboard mnemonics: an "&" before a character; "&&" is a literal ampersand.
int mnemonics(QString szText)
{
    szText.remove(QStringLiteral("&&"));
    static const QRegularExpression s_mnemonic(QStringLiteral("&[^\\s&]"));
    return szText.count(s_mnemonic);
}

QString printable(QString szText)
{
    return szText.replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\t'), QStringLiteral("\\t"));
}

} // namespace

// Every language's translation source against a fresh lupdate run over the
// program's sources, and the files the build compiles from them into the
// suite's Language folder.
class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void translationIsCompleteAndBuilt_data();
    void translationIsCompleteAndBuilt();

private:
    QTemporaryDir m_tmp;
    QList<Message> m_lstFresh;
};

void TranslationsTest::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    const QString szFresh = m_tmp.filePath(QStringLiteral("fresh.ts"));
    QStringList lstArguments{QStringLiteral("-no-obsolete"), QStringLiteral("-locations"), QStringLiteral("none")};
    lstArguments << QStringLiteral(KIV_TRANSLATED_SOURCES).split(QLatin1Char(','));
    lstArguments << QStringLiteral("-ts") << szFresh;
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(KIV_SOURCE_ROOT));
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(KIV_LUPDATE), lstArguments);
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, lupdate.readAll().constData());

    const TsFile fresh = readTs(szFresh);
    QVERIFY2(fresh.szError.isEmpty(), qPrintable(fresh.szError));
    m_lstFresh = fresh.lstMessages;
    QVERIFY(m_lstFresh.size() > 50);
}

void TranslationsTest::translationIsCompleteAndBuilt_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("yes"); // Qt's own translation of the Yes button
    QTest::newRow("it") << "it" << QString::fromUtf8("&S\u00ec");
    QTest::newRow("de") << "de"
                        << "&Ja";
    QTest::newRow("fr") << "fr"
                        << "&Oui";
    QTest::newRow("es") << "es" << QString::fromUtf8("&S\u00ed");
    // The language of the sources: its file holds only plural forms, if any,
    // and exists so that the language page offers English.
    QTest::newRow("en") << "en" << QString();
}

void TranslationsTest::translationIsCompleteAndBuilt()
{
    QFETCH(QString, code);
    QFETCH(QString, yes);
    const bool bSourceLanguage = code == QLatin1String("en");

    const TsFile ts = readTs(QStringLiteral(KIV_TRANSLATIONS_DIR "/KivDataBaseUpdater_%1.ts").arg(code));
    QVERIFY2(ts.szError.isEmpty(), qPrintable(ts.szError));
    QCOMPARE(ts.szLanguage, code);

    QSet<QString> expected;
    for (const Message &message : qAsConst(m_lstFresh)) {
        if (!bSourceLanguage || message.bNumerus)
            expected.insert(key(message));
    }

    QStringList lstFaults;
    QSet<QString> present;
    for (const Message &message : ts.lstMessages) {
        const QString szWhat = printable(key(message));
        present.insert(key(message));
        if (!expected.contains(key(message)))
            lstFaults << QStringLiteral("not in the sources: ") + szWhat;
        if (!message.szType.isEmpty())
            lstFaults << message.szType + QStringLiteral(": ") + szWhat;
        if (message.lstTranslations.isEmpty())
            lstFaults << QStringLiteral("no translation: ") + szWhat;
        for (const QString &szTranslation : message.lstTranslations) {
            const QString szBoth = szWhat + QStringLiteral(" -> ") + printable(szTranslation);
            if (szTranslation.isEmpty())
                lstFaults << QStringLiteral("empty: ") + szWhat;
            else if (placeholders(szTranslation) != placeholders(message.szSource))
                lstFaults << QStringLiteral("placeholders differ: ") + szBoth;
            else if (szTranslation.count(QLatin1Char('\n')) != message.szSource.count(QLatin1Char('\n')))
                lstFaults << QStringLiteral("line breaks differ: ") + szBoth;
            else if (szTranslation.count(QLatin1Char('\t')) != message.szSource.count(QLatin1Char('\t')))
                lstFaults << QStringLiteral("tabs differ: ") + szBoth;
            else if (qMin(mnemonics(message.szSource), 1) != mnemonics(szTranslation))
                lstFaults << QStringLiteral("mnemonic lost or doubled: ") + szBoth;
        }
    }
    for (const QString &szMissing : expected - present)
        lstFaults << QStringLiteral("missing: ") + printable(szMissing);
    lstFaults.sort();
    QVERIFY2(lstFaults.isEmpty(), qPrintable(lstFaults.join(QLatin1Char('\n'))));

    // What lrelease wrote into the suite's Language folder answers with
    // these very translations: the build did not miss a change.
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("KivDataBaseUpdater_%1.qm").arg(code), QStringLiteral(KIV_LANGUAGE_DIR)));
    for (const Message &message : ts.lstMessages) {
        if (message.bNumerus)
            continue;
        const QByteArray context = message.szContext.toUtf8();
        const QByteArray source = message.szSource.toUtf8();
        const QByteArray comment = message.szComment.toUtf8();
        QCOMPARE(translator.translate(
                     context.constData(), source.constData(), comment.isEmpty() ? nullptr : comment.constData()),
                 message.lstTranslations.value(0));
    }

    // Qt's own texts, beside the program's, need nothing else in the folder.
    QTranslator qtTranslator;
    QVERIFY(qtTranslator.load(QStringLiteral("qt_%1.qm").arg(code), QStringLiteral(KIV_LANGUAGE_DIR)));
    if (!bSourceLanguage)
        QCOMPARE(qtTranslator.translate("QPlatformTheme", "&Yes"), yes);
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_Translations.moc"
