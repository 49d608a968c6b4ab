// Config.ini access and PublicData.
#include "ConfigIni.h"
#include "PublicData.h"
#include "TempWorkDir.h"

#include <QTextCodec>
#include <QtTest>

namespace {

QByteArray gb2312(const QString &text)
{
    return QTextCodec::codecForName("GB2312")->fromUnicode(text);
}

const QString button1 = QStringLiteral("执业医师");
const QString contact = QStringLiteral("客服电话：400-800-1234（工作日）");

// What the installation ships: raw GB2312 bytes, no escapes.
QByteArray installedConfig()
{
    return "[ContactUs]\r\nContact1=" + gb2312(contact) + "\r\n"
           "[ProxyUI]\r\nProxyButtonText1=" + gb2312(button1) + "\r\n"
           "ProxyButtonText2=" + gb2312(QStringLiteral("护士")) + "\r\n"
           "[Logo]\r\nType=3\r\n";
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void emptyFileReadsEmptyAndZero_data()
    {
        QTest::addColumn<QString>("key");
        for (const char *key : {"AppModel/model", "AppModel/IsChoose", "ContactUs/Contact1",
                                "ContactUs/Hygienicqualification", "ContactUs/Physicianqualification",
                                "ContactUs/Licensedpharmacist", "Data/DBPath", "DownLoadUrl/Url", "Logo/Type",
                                "Logo/IsUseType", "ProxyUI/ProxyButtonText1", "ProxyUI/ProxyButtonText2",
                                "ProxyUI/ProxyButtonText3", "QuestionCell/SkinColor", "QuestionCell/SkinImage",
                                "QuestionCell/questionfont", "QuestionCell/questioncolor",
                                "QuestionCell/questionbutton", "QuestionCell/questionCellCount",
                                "QuestionCell/IsChecked", "QuestionCell/ViewReportFontColor",
                                "QuestionCell/ViewReportBkColor", "Remove/Type", "Version/PROGRAM",
                                "Version/DATABASE", "Version/IMAGES"})
            QTest::newRow(key) << QString::fromLatin1(key);
    }
    void emptyFileReadsEmptyAndZero()
    {
        QFETCH(QString, key);
        TempWorkDir dir;
        ConfigIni ini;
        QCOMPARE(ini.text(key), QString());
        QCOMPARE(ini.value(key).toInt(), 0);
        QCOMPARE(PublicData::value(key), QString());
    }

    void publicDataFields()
    {
        const PublicData data;
        QCOMPARE(data.logoDir, QStringLiteral("Logo"));
        QCOMPARE(data.logoFile, QStringLiteral("Logo/logo.png"));
        QCOMPARE(data.bigLogoFile, QStringLiteral("Logo/biglogo.png"));
        QCOMPARE(data.proxyButtonBase, QStringLiteral("Logo/ProxyButton"));
        QVERIFY(data.proxyButtonText1.isEmpty() && data.proxyButtonText2.isEmpty() && data.proxyButtonText3.isEmpty());
        QVERIFY(PublicData::instance());
        QCOMPARE(PublicData::instance(), PublicData::instance());
    }

    // The first start writes a key before anything has read the installed
    // GB2312 texts; they must survive that write.
    void writeKeepsInstalledGb2312Texts()
    {
        TempWorkDir dir(installedConfig());
        PublicData::setValue(QStringLiteral("Logo/IsUseType"), QStringLiteral("1"));

        QCOMPARE(PublicData::value(QStringLiteral("ProxyUI/ProxyButtonText1")), button1);
        QCOMPARE(PublicData::value(QStringLiteral("ContactUs/Contact1")), contact);
        QCOMPARE(PublicData::value(QStringLiteral("ProxyUI/ProxyButtonText2")), QStringLiteral("护士"));
        QCOMPARE(PublicData::value(QStringLiteral("Logo/IsUseType")), QStringLiteral("1"));
        QCOMPARE(ConfigIni().value(QStringLiteral("Logo/Type")).toInt(), 3);
        const QByteArray raw = dir.readConfig();
        QVERIFY(raw.contains(gb2312(button1)));
        QVERIFY(raw.contains(gb2312(contact)));
        TempWorkDir nextStart(raw);
        QCOMPARE(PublicData::value(QStringLiteral("ContactUs/Contact1")), contact);
    }

    void valuesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("skin colour") << "QuestionCell/SkinColor" << "255,127,167,255";
        QTest::newRow("skin name") << "QuestionCell/SkinImage" << "pink";
        QTest::newRow("chinese path") << "Data/DBPath" << "data/临床执业医师";
        QTest::newRow("line break") << "ContactUs/Contact1" << "电话\n地址";
        QTest::newRow("outside GB2312") << "DownLoadUrl/Url" << "http://h/ä€镕.zip";
        QTest::newRow("empty") << "Version/PROGRAM" << "";
    }
    void valuesReadBackAsWritten()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        TempWorkDir dir(installedConfig());
        PublicData::setValue(key, value);
        QCOMPARE(PublicData::value(key), value);
        // The next start parses the file afresh (a new path skips the settings cache).
        TempWorkDir nextStart(dir.readConfig());
        QCOMPARE(PublicData::value(key), value);
        QCOMPARE(PublicData::value(QStringLiteral("ProxyUI/ProxyButtonText1")), button1);
    }

    void filesReadAsWrittenByHandOrByOlderVersions_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("escapes of an older write") << QByteArray("[Data]\nDBPath=data/\\x4e34\\x5e8a\n")
                                                   << "Data/DBPath" << "data/临床";
        QTest::newRow("unquoted colour") << QByteArray("[QuestionCell]\nSkinColor=87,87,87,255\n")
                                         << "QuestionCell/SkinColor" << "87,87,87,255";
        QTest::newRow("quoted colour") << QByteArray("[QuestionCell]\nSkinColor=\"87,87,87,255\"\n")
                                       << "QuestionCell/SkinColor" << "87,87,87,255";
    }
    void filesReadAsWrittenByHandOrByOlderVersions()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TempWorkDir dir(ini);
        QCOMPARE(PublicData::value(key), expected);
    }

    void writeIsOnDiskAtOnce()
    {
        TempWorkDir dir;
        ConfigIni::write(QStringLiteral("Remove/Type"), 1);
        QVERIFY(dir.readConfig().contains("Type=1"));
        QCOMPARE(ConfigIni().value(QStringLiteral("Remove/Type")).toInt(), 1);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
