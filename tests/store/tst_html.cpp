#include "FixtureBank.h"
#include "SqliteClass.h"

#include <QtTest>

namespace {

// Expected texts name the bank directory "DIR/".
QString inBank(QString html, const QString &bankDir)
{
    return html.replace(QLatin1String("DIR/"), bankDir);
}

const QString red = QStringLiteral("<font color=\"#FF0000\">%1</font>");

} // namespace

class TestHtml : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void questionTextToHtml_data();
    void questionTextToHtml();
    void optionTextToHtml_data();
    void optionTextToHtml();
    void reportImagesToHtmlKeepsLineBreaks();
    void relativeBankDirectory();
    void highlightKeyword_data();
    void highlightKeyword();
    void stripImageRefs_data();
    void stripImageRefs();
    void listStyles_data();
    void listStyles();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    QString bankDir() const { return bank.databaseDir(); }

    FixtureBank bank;
};

void TestHtml::initTestCase()
{
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
}

void TestHtml::questionTextToHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");

    const QString inline50 = QStringLiteral("<img src=\"DIR/images/img50.png\" />");
    QTest::newRow("100 px inline") << "见图[img100.png]" << "见图<img src=\"DIR/images/img100.png\" />";
    QTest::newRow("101 px on its own line")
        << "见图[img101.png]" << "见图<br><br/><img src=\"DIR/images/img101.png\" />";
    QTest::newRow("missing file inline") << "[missing.png]" << "<img src=\"DIR/images/missing.png\" />";
    QTest::newRow("one image twice") << "[img50.png]与[img50.png]" << inline50 + "与" + inline50;
    QTest::newRow("jpeg is no reference") << "[ecg.jpeg]" << "[ecg.jpeg]";
    QTest::newRow("Jpg is no reference") << "[ecg.Jpg]" << "[ecg.Jpg]";
    QTest::newRow("parenthesis inside") << "[ecg(1).png]" << "[ecg(1).png]";
    QTest::newRow("opening bracket before")
        << "[[img50.png]" << "[" + inline50;
    QTest::newRow("closing bracket inside the name")
        << "[a]b.gif]" << "<img src=\"DIR/images/a]b.gif\" />";
    QTest::newRow("CRLF lines") << "第一行\r\n第二行\r\n" << "第一行<br>第二行";
    QTest::newRow("two trailing line feeds") << "题干\n\n" << "题干<br>";
    QTest::newRow("image then line") << "[img150.png]\n说明"
                                     << "<br><br/><img src=\"DIR/images/img150.png\" /><br>说明";
}

void TestHtml::questionTextToHtml()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    QCOMPARE(store()->questionTextToHtml(text, 0), inBank(html, bankDir()));
}

void TestHtml::optionTextToHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("height");

    QTest::newRow("no image") << "沙丁胺醇\r\n" << "沙丁胺醇" << 0;
    QTest::newRow("50 then 150")
        << "[img50.png][img150.png]"
        << "<img src=\"DIR/images/img50.png\" /><br><br/><img src=\"DIR/images/img150.png\" />" << 150;
    QTest::newRow("150 then 50 across lines")
        << "[img150.png]\r\n[img50.png]"
        << "<br><br/><img src=\"DIR/images/img150.png\" /><img src=\"DIR/images/img50.png\" />" << 50;
    QTest::newRow("last distinct reference counts")
        << "[img150.png][img50.png][img150.png]"
        << "<br><br/><img src=\"DIR/images/img150.png\" /><img src=\"DIR/images/img50.png\" />"
           "<br><br/><img src=\"DIR/images/img150.png\" />"
        << 50;
    QTest::newRow("missing file") << "[missing.png]" << "<img src=\"DIR/images/missing.png\" />" << 0;
}

void TestHtml::optionTextToHtml()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    QFETCH(int, height);

    // A height from an earlier option must not survive the next one.
    store()->optionTextToHtml(QStringLiteral("[img101.png]"));
    QCOMPARE(store()->lastImageHeight(), 101);

    QCOMPARE(store()->optionTextToHtml(text), inBank(html, bankDir()));
    QCOMPARE(store()->lastImageHeight(), height);
}

void TestHtml::reportImagesToHtmlKeepsLineBreaks()
{
    const QString html = QStringLiteral("<p>报告\r\n[img101.png]</p>\n");
    QCOMPARE(store()->reportImagesToHtml(html),
             inBank(QStringLiteral("<p>报告\r\n<br><br/><img src=\"DIR/images/img101.png\" /></p>\n"), bankDir()));
}

void TestHtml::relativeBankDirectory()
{
    // A relative bank directory gives relative sources, measured from the
    // working directory all the same.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFileInfo(bank.path()).absolutePath()));
    const QString relative = QFileInfo(bank.path()).fileName();
    QCOMPARE(store()->openDatabase(relative, QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);

    QCOMPARE(store()->questionTextToHtml(QStringLiteral("[img150.png]")),
             QStringLiteral("<br><br/><img src=\"%1/images/img150.png\" />").arg(relative));

    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(store()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
}

void TestHtml::highlightKeyword_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("html");

    QTest::newRow("plain word") << "吸烟是危险因素，戒烟先戒吸烟" << "吸烟"
                                << red.arg("吸烟") + "是危险因素，戒烟先戒" + red.arg("吸烟");
    QTest::newRow("case-sensitive") << "Aspirin and aspirin" << "aspirin" << "Aspirin and " + red.arg("aspirin");
    QTest::newRow("word inside an image file name")
        << "img 见 <img src=\"d/images/img50.png\" />" << "img"
        << red.arg("img") + " 见 <img src=\"d/images/img50.png\" />";
    QTest::newRow("extension inside an image tag")
        << "<img src=\"d/images/a.png\" />png" << "png" << "<img src=\"d/images/a.png\" />" + red.arg("png");
    QTest::newRow("parenthesis") << "f(x) = (1)" << "(" << "f" + red.arg("(") + "x) = " + red.arg("(") + "1)";
    QTest::newRow("dot is literal") << "abc a.c" << "a.c" << "abc " + red.arg("a.c");
    QTest::newRow("comparison signs are text") << "血糖<3.9，血压>140" << "血压"
                                               << "血糖<3.9，" + red.arg("血压") + ">140";
    QTest::newRow("ampersand escaped") << "A&B" << "&" << "A" + red.arg("&amp;") + "B";
    QTest::newRow("empty keyword keeps line feeds") << "第一行\r\n第二行" << "" << "第一行\r\n第二行";
    QTest::newRow("absent keyword still breaks lines") << "第一行\r\n第二行" << "肺" << "第一行<br>第二行";
    QTest::newRow("line feeds after painting") << "肺炎\n肺癌" << "肺" << red.arg("肺") + "炎<br>" + red.arg("肺") + "癌";
}

void TestHtml::highlightKeyword()
{
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(QString, html);
    QCOMPARE(SqliteClass::highlightKeyword(text, keyword), html);
}

void TestHtml::stripImageRefs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");

    QTest::newRow("two images") << "见图[img50.png]和[ecg.GIF]。" << "见图和。";
    QTest::newRow("repeated") << "[a.bmp]x[a.bmp]" << "x";
    QTest::newRow("no reference kept") << "[ecg.jpeg] [b(1).png]\r\n" << "[ecg.jpeg] [b(1).png]\r\n";
}

void TestHtml::stripImageRefs()
{
    QFETCH(QString, text);
    QFETCH(QString, stripped);
    QCOMPARE(SqliteClass::stripImageRefs(text), stripped);
}

void TestHtml::listStyles_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("widget");

    QTest::newRow("table") << true << "QTableWidget";
    QTest::newRow("tree") << false << "QTreeWidget";
}

void TestHtml::listStyles()
{
    QFETCH(bool, table);
    QFETCH(QString, widget);
    const auto style = table ? &SqliteClass::tableWidgetStyle : &SqliteClass::treeWidgetStyle;

    const QString sheet = style(QStringLiteral("80,153,2,255"));
    QCOMPARE(style(QStringLiteral("255,0,0,255")), sheet);
    QCOMPARE(style(QString()), sheet);
    QVERIFY(sheet.startsWith(widget + QLatin1Char('{')));
    QCOMPARE(sheet.count(QStringLiteral("color: rgb(91,91,91,255);")), 3);
    QVERIFY(sheet.contains(QStringLiteral("font: 75 12pt \"微软雅黑\";")));
    QVERIFY(!sheet.contains(QLatin1Char('%')));
}

QTEST_GUILESS_MAIN(TestHtml)
#include "tst_html.moc"
