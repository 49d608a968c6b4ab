// The host, the access key, the key digest and the query composition.
#include "ServiceUrl.h"

#include <QRegularExpression>
#include <QtTest>

class TestServiceUrl : public QObject
{
    Q_OBJECT

private slots:
    void md5Hex_data();
    void md5Hex();
    void keyHashesAccessKeyAndMaterial();
    void accessKeyIsSixteenLettersAndDigits();
    void query_data();
    void query();
    void hostFromEnvironmentElseBuild();
    void urlIsFullyEncoded();
};

void TestServiceUrl::md5Hex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digest");
    QTest::newRow("empty") << QString() << QStringLiteral("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("abc") << QStringLiteral("abc") << QStringLiteral("900150983cd24fb0d6963f7d28e17f72");
    const auto md5Of = [](const QByteArray &bytes) {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
    };
    // Latin-1, not UTF-8: é is the one byte E9.
    QTest::newRow("Latin-1") << QStringLiteral("é") << md5Of("\xe9");
    // Outside Latin-1 each character counts as "?".
    QTest::newRow("Chinese") << QStringLiteral("中文") << md5Of("??");
}

void TestServiceUrl::md5Hex()
{
    QFETCH(QString, text);
    QFETCH(QString, digest);
    QCOMPARE(ServiceUrl::md5Hex(text), digest);
}

void TestServiceUrl::keyHashesAccessKeyAndMaterial()
{
    QCOMPARE(ServiceUrl::key(QStringLiteral("client")),
             ServiceUrl::md5Hex(ServiceUrl::accessKey() + QStringLiteral("client")));
    QVERIFY(ServiceUrl::key(QStringLiteral("client")) != ServiceUrl::md5Hex(QStringLiteral("client")));
}

void TestServiceUrl::accessKeyIsSixteenLettersAndDigits()
{
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9]{16}$")).match(ServiceUrl::accessKey()).hasMatch());
}

void TestServiceUrl::query_data()
{
    QTest::addColumn<QString>("queryTemplate");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("query");
    const auto row = [](const char *name, const char *queryTemplate, const QStringList &values,
                        const char *query) {
        QTest::newRow(name) << QString::fromUtf8(queryTemplate) << values << QString::fromUtf8(query);
    };
    row("plain", "key=%1&source=%2", {"abc", "client"}, "key=abc&source=client");
    row("delimiters stay inside their value", "a=%1&b=%2", {"x&y=z#w", "1+1?/"},
        "a=x%26y%3Dz%23w&b=1%2B1%3F%2F");
    row("a placeholder typed into a value is text", "a=%1&b=%2&c=%3",
        {"%3 and %1", "50% done", "c"}, "a=%253%20and%20%251&b=50%25%20done&c=c");
    row("Chinese as UTF-8, quote escaped", "con=%1", {"中 it's"}, "con=%E4%B8%AD%20it%27s");
    row("empty and negative values", "userId=%1&queId=%2", {"", "-1"}, "userId=&queId=-1");
    row("two-digit placeholders", "a=%1&j=%10&k=%11",
        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, "a=1&j=10&k=11");
    row("%10 with nine values is %1 and a 0", "a=%10", {"x", "", "", "", "", "", "", "", ""},
        "a=x0");
    row("placeholder without a value stays", "a=%1&b=%2", {"x"}, "a=x&b=%2");
}

void TestServiceUrl::query()
{
    QFETCH(QString, queryTemplate);
    QFETCH(QStringList, values);
    QFETCH(QString, query);
    QCOMPARE(ServiceUrl::query(queryTemplate, values), query);
}

void TestServiceUrl::hostFromEnvironmentElseBuild()
{
    const QByteArray saved = qgetenv("VELMORA_SERVICE_HOST");
    qunsetenv("VELMORA_SERVICE_HOST");
    QCOMPARE(ServiceUrl::host(), QStringLiteral(VELMORA_SERVICE_HOST_DEFAULT));
    qputenv("VELMORA_SERVICE_HOST", "127.0.0.1:1");
    QCOMPARE(ServiceUrl::host(), QStringLiteral("127.0.0.1:1"));
    qputenv("VELMORA_SERVICE_HOST", "");
    QCOMPARE(ServiceUrl::host(), QStringLiteral(VELMORA_SERVICE_HOST_DEFAULT));
    qputenv("VELMORA_SERVICE_HOST", saved);
}

void TestServiceUrl::urlIsFullyEncoded()
{
    qputenv("VELMORA_SERVICE_HOST", "127.0.0.1:8080");
    const QUrl url = ServiceUrl::url(QStringLiteral("/other/feedback.php"),
                                     ServiceUrl::query(QStringLiteral("con=%1&t=%2"),
                                                       {QStringLiteral("中 #1"), QStringLiteral("x")}));
    QCOMPARE(url.toEncoded(), QByteArray("http://127.0.0.1:8080/other/feedback.php?con=%E4%B8%AD%20%231&t=x"));
    QCOMPARE(ServiceUrl::url(QStringLiteral("/client/verDll.php")).toEncoded(),
             QByteArray("http://127.0.0.1:8080/client/verDll.php"));
}

QTEST_MAIN(TestServiceUrl)
#include "tst_serviceurl.moc"
