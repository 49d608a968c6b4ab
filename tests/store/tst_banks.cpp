#include "BankFile.h"
#include "FixtureBank.h"

#include <JlCompress.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

const char imageRefPattern[] = "\\[[^(\\[)]*\\.(jpg|gif|png|JPG|GIF|PNG|bmp|BMP)\\]";

// Every row's first column as text; a failed statement fails the test through *ok.
QStringList column(const BankFile &bank, const QString &sql, bool *ok = nullptr)
{
    QStringList values;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    bool good = sqlite3_prepare_v2(bank.handle(), text.constData(), -1, &stmt, nullptr) == SQLITE_OK;
    int step = SQLITE_ROW;
    while (good && (step = sqlite3_step(stmt)) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    good = good && step == SQLITE_DONE;
    sqlite3_finalize(stmt);
    if (ok)
        *ok = good;
    return values;
}

QString single(const BankFile &bank, const QString &sql)
{
    return column(bank, sql).value(0);
}

QByteArray fileHead(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.read(16);
}

const QByteArray plainHeader("SQLite format 3\0", 16);

} // namespace

class TestBanks : public QObject
{
    Q_OBJECT

private slots:
    void fixtureOpensWithBuiltinPhrase_data();
    void fixtureOpensWithBuiltinPhrase();
    void keyedFileHasNoPlainHeader();
    void otherKeysDoNotOpen_data();
    void otherKeysDoNotOpen();
    void emptyAndDirectoryForms();
    void columnOrder_data();
    void columnOrder();
    void fixtureCoversQuestionTypes();
    void fixtureImagesHaveTheirHeights();
    void extraSqlRunsAfterFixture();
    void demoBankIsComplete();
    void demoImagesExist();
    void demoPackageUnpacksToBank();
    void demoTextsKeepPercentSigns();
    void largeBankGenerator();
};

void TestBanks::fixtureOpensWithBuiltinPhrase_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::newRow("default") << 0;
    QTest::newRow("1024") << 1024;
    QTest::newRow("8192") << 8192;
    QTest::newRow("65536") << 65536;
}

void TestBanks::fixtureOpensWithBuiltinPhrase()
{
    QFETCH(int, pageSize);
    FixtureBank fixture;
    fixture.setPageSize(pageSize);
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));

    BankFile bank;
    QVERIFY2(bank.open(fixture.filePath(), FixtureBank::builtinPhrase()), qPrintable(bank.error()));
    QCOMPARE(single(bank, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    if (pageSize)
        QCOMPARE(single(bank, QStringLiteral("PRAGMA page_size")).toInt(), pageSize);
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQue")).toInt(), 23);
    QCOMPARE(column(bank, QStringLiteral("select name from sqlite_sequence order by name")),
             QStringList({QStringLiteral("tQueOpt"), QStringLiteral("ytQueOpt")}));
}

void TestBanks::keyedFileHasNoPlainHeader()
{
    FixtureBank keyed;
    FixtureBank plain(FixtureBank::Form::Plain);
    QVERIFY2(keyed.open(), qPrintable(keyed.error()));
    QVERIFY2(plain.open(), qPrintable(plain.error()));
    QCOMPARE(fileHead(plain.filePath()), plainHeader);
    QVERIFY(fileHead(keyed.filePath()) != plainHeader);
    QCOMPARE(QFileInfo(keyed.filePath()).size(), QFileInfo(plain.filePath()).size());
}

void TestBanks::otherKeysDoNotOpen_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QByteArray>("writtenWith");
    QTest::newRow("other phrase") << int(FixtureBank::Form::Keyed) << QByteArray("another phrase");
    QTest::newRow("plain file") << int(FixtureBank::Form::Plain) << QByteArray();
}

void TestBanks::otherKeysDoNotOpen()
{
    QFETCH(int, form);
    QFETCH(QByteArray, writtenWith);
    FixtureBank fixture{FixtureBank::Form(form)};
    if (!writtenWith.isEmpty())
        fixture.setPhrase(writtenWith);
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));

    BankFile bank;
    QVERIFY(bank.open(fixture.filePath(), FixtureBank::builtinPhrase()));
    bool ok = true;
    column(bank, QStringLiteral("select name, sql from sqlite_master where type = 'table'"), &ok);
    QVERIFY(!ok);

    // The file itself is sound when read as it was written.
    QVERIFY(fixture.exec(QStringLiteral("select count(*) from tQue;")));
}

void TestBanks::emptyAndDirectoryForms()
{
    FixtureBank empty(FixtureBank::Form::ZeroBytes);
    FixtureBank directory(FixtureBank::Form::Directory);
    QVERIFY(empty.open());
    QVERIFY(directory.open());
    QVERIFY(QFileInfo(empty.filePath()).isFile());
    QCOMPARE(QFileInfo(empty.filePath()).size(), 0);
    QVERIFY(QFileInfo(directory.filePath()).isDir());
    QVERIFY(QFileInfo(directory.imagesDir()).isDir());
    QCOMPARE(empty.databaseDir(), empty.path() + QLatin1Char('/'));
    QCOMPARE(empty.filePath(), empty.databaseDir() + QStringLiteral("MedicalDB.db"));
}

void TestBanks::columnOrder_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("leading");
    const QStringList question{"queId", "cateListId", "queText", "answer", "prompt", "IsDel", "ord", "queCode", "modTime",
                               "userStatus", "userAnswer", "userTime", "userFav", "userNote"};
    QTest::newRow("tQue") << "tQue" << question;
    QTest::newRow("ytQue") << "ytQue" << question;
    QTest::newRow("tCate") << "tCate" << QStringList{"cateId", "cateName", "faId", "ord", "choose"};
    QTest::newRow("tCateList") << "tCateList" << QStringList{"cateListId", "cateId", "queTypeId", "publicQueText", "ord"};
    QTest::newRow("tQueOpt") << "tQueOpt" << QStringList{"optId", "optName", "optText", "queId"};
    QTest::newRow("tQueType") << "tQueType" << QStringList{"queTypeId", "queTypeName", "memo", "typeOrd", "typeScore", "exam_count"};
    QTest::newRow("ytCate") << "ytCate" << QStringList{"cateId", "cateName", "faId", "ord", "H_type"};
    QTest::newRow("examOutline") << "examOutline" << QStringList{"id", "content", "isLeaf"};
    QTest::newRow("sysConfig") << "sysConfig" << QStringList{"key", "value", "memo"};
    QTest::newRow("tQueLog") << "tQueLog" << QStringList{"queId", "type", "userStatus", "userAnswer", "userTime", "userNote", "userFav"};
    QTest::newRow("ConfigTable") << "ConfigTable" << QStringList{"Key", "V1", "V2", "V3", "V4", "V5"};
}

void TestBanks::columnOrder()
{
    QFETCH(QString, table);
    QFETCH(QStringList, leading);
    FixtureBank fixture;
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));
    BankFile bank;
    QVERIFY(bank.open(fixture.filePath(), FixtureBank::builtinPhrase()));
    QStringList names;
    sqlite3_stmt *stmt = nullptr;
    QVERIFY(sqlite3_prepare_v2(bank.handle(), qPrintable(QStringLiteral("PRAGMA table_info(%1)").arg(table)), -1, &stmt, nullptr) == SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
    sqlite3_finalize(stmt);
    QCOMPARE(names, leading);
}

void TestBanks::fixtureCoversQuestionTypes()
{
    FixtureBank fixture;
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));
    BankFile bank;
    QVERIFY(bank.open(fixture.filePath(), FixtureBank::builtinPhrase()));
    const QStringList used = column(bank, QStringLiteral("select distinct queTypeId from tCateList order by queTypeId"));
    QCOMPARE(used, QString("1 2 3 4 6 7 9 10 11 12 14 16").split(' '));
    QCOMPARE(column(bank, QStringLiteral("select queTypeId from tCateList where queTypeId not in (select queTypeId from tQueType)")),
             QStringList{"9"});
    QCOMPARE(column(bank, QStringLiteral("select distinct H_type from ytCate order by H_type")), QStringList({"1", "2"}));
    QCOMPARE(column(bank, QStringLiteral("select type from tQueLog group by type")), QStringList({"001", "002", "003"}));
    QCOMPARE(column(bank, QStringLiteral("select key from sysConfig where key like 'sysType%' order by key")),
             QStringList({"sysTypeGoods", "sysTypeISN"}));
}

void TestBanks::fixtureImagesHaveTheirHeights()
{
    FixtureBank fixture;
    fixture.addImage(QStringLiteral("tall.png"), 300);
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));
    const QList<QPair<QString, int>> expected{{"img50.png", 50}, {"img100.png", 100}, {"img101.png", 101},
                                              {"img150.png", 150}, {"tall.png", 300}};
    for (const auto &image : expected)
        QCOMPARE(QImage(QDir(fixture.imagesDir()).filePath(image.first)).height(), image.second);
    QVERIFY(!QFile::exists(QDir(fixture.imagesDir()).filePath(QStringLiteral("missing.png"))));
}

void TestBanks::extraSqlRunsAfterFixture()
{
    FixtureBank fixture;
    fixture.addSql(QStringLiteral("UPDATE tQue SET userNote = 'added' WHERE queId = 1001;"));
    QVERIFY2(fixture.open(), qPrintable(fixture.error()));
    QVERIFY2(fixture.exec(QStringLiteral("DELETE FROM tQueOpt WHERE queId = 1001;")), qPrintable(fixture.error()));
    BankFile bank;
    QVERIFY(bank.open(fixture.filePath(), FixtureBank::builtinPhrase()));
    QCOMPARE(single(bank, QStringLiteral("select userNote from tQue where queId = 1001")), QStringLiteral("added"));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQueOpt where queId = 1001")), QStringLiteral("0"));

    FixtureBank empty;
    QVERIFY(empty.setSchemaOnly().open());
    QVERIFY(bank.open(empty.filePath(), FixtureBank::builtinPhrase()));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tCate")), QStringLiteral("0"));
}

void TestBanks::demoBankIsComplete()
{
    BankFile bank;
    QVERIFY(bank.open(QStringLiteral(DEMO_DIR "/data/MedicalDB.db"), FixtureBank::builtinPhrase()));
    QCOMPARE(single(bank, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    QVERIFY(single(bank, QStringLiteral("select count(*) from tQue")).toInt() >= 130);
    QCOMPARE(column(bank, QStringLiteral("select distinct queTypeId from tCateList order by queTypeId")),
             QString("1 2 3 4 6 7 10 11 12 14 16").split(' '));
    // Every choice question has options and its answer names one of them.
    QCOMPARE(single(bank, QStringLiteral(
                 "select count(*) from tQue q join tCateList g on q.cateListId = g.cateListId "
                 "where g.queTypeId in (1, 2, 3, 4, 6, 7, 11) and not exists "
                 "(select 1 from tQueOpt o where o.queId = q.queId and instr(q.answer, o.optName) > 0)")),
             QStringLiteral("0"));
    // Three levels: every question set lies two levels below a chapter.
    QCOMPARE(single(bank, QStringLiteral(
                 "select count(*) from tCateList g join tCate s on g.cateId = s.cateId join tCate m on s.faId = m.cateId "
                 "join tCate c on m.faId = c.cateId where c.faId = 0")),
             single(bank, QStringLiteral("select count(*) from tCateList")));
    QCOMPARE(column(bank, QStringLiteral("select distinct H_type from ytCate order by H_type")), QStringList({"1", "2"}));
    QVERIFY(single(bank, QStringLiteral("select count(*) from ytQue")).toInt() > 0);
    QVERIFY(!single(bank, QStringLiteral("select memo from sysConfig where key = 'sysTypeISN'")).isEmpty());
    QCOMPARE(column(bank, QStringLiteral("select id from examOutline where isLeaf = '' and not exists "
                                         "(select 1 from examOutline c where c.id like examOutline.id || '_%')")),
             QStringList());
}

void TestBanks::demoImagesExist()
{
    BankFile bank;
    QVERIFY(bank.open(QStringLiteral(DEMO_DIR "/data/MedicalDB.db"), FixtureBank::builtinPhrase()));
    const QStringList texts = column(bank, QStringLiteral(
        "select queText || answer || prompt from tQue union all select publicQueText from tCateList "
        "union all select optText from tQueOpt union all select content from examOutline"));
    QSet<QString> references;
    const QRegularExpression pattern(QString::fromLatin1(imageRefPattern));
    for (const QString &text : texts) {
        auto matches = pattern.globalMatch(text);
        while (matches.hasNext()) {
            const QString ref = matches.next().captured(0);
            references.insert(ref.mid(1, ref.size() - 2));
        }
    }
    QVERIFY(references.size() >= 3);
    for (const QString &name : qAsConst(references))
        QVERIFY2(!QImage(QStringLiteral(DEMO_DIR "/data/images/") + name).isNull(), qPrintable(name));
}

void TestBanks::demoPackageUnpacksToBank()
{
    QTemporaryDir subject;
    QVERIFY(subject.isValid());
    const QStringList top = JlCompress::extractDir(QStringLiteral(DEMO_DIR "/demo-subject.zip"), subject.path());
    QCOMPARE(QSet<QString>(top.begin(), top.end()),
             QSet<QString>({subject.filePath("MedicalDB.db"), subject.filePath("images.zip")}));
    QVERIFY(!JlCompress::extractDir(subject.filePath("images.zip"), subject.path()).isEmpty());
    QCOMPARE(QDir(subject.filePath("images")).entryList(QDir::Files), QDir(DEMO_DIR "/data/images").entryList(QDir::Files));

    BankFile bank;
    QVERIFY(bank.open(subject.filePath("MedicalDB.db"), FixtureBank::builtinPhrase()));
    QCOMPARE(single(bank, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

// A subject text such as "%2" must reach the bank as written, not be
// taken for a placeholder of the statement it is put into.
void TestBanks::demoTextsKeepPercentSigns()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile source(dir.filePath("subject.txt"));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("type: 1 | A1型题 | 单选 | 10\n"
                 "chapter: 第%2章\n"
                 "section: 节%1\n"
                 "set: 组%3\n"
                 "single: 1\n"
                 "q: 有效率50%9以上 | A | 解析%4\n"
                 "o: 选项%2 | 选项B\n");
    source.close();

    QProcess tool;
    tool.start(QStringLiteral(BANKTOOL), {QStringLiteral("demo"), source.fileName(), dir.filePath("out.sql"),
                                          dir.filePath("images")});
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());

    BankFile bank;
    QVERIFY(bank.open(dir.filePath("MedicalDB.db"), FixtureBank::builtinPhrase()));
    QFile sql(dir.filePath("out.sql"));
    QVERIFY(sql.open(QIODevice::ReadOnly));
    QVERIFY2(bank.exec(QString::fromUtf8(sql.readAll())), qPrintable(bank.error()));
    QCOMPARE(single(bank, QStringLiteral("select group_concat(cateName, '/') from tCate")), QStringLiteral("第%2章/节%1/组%3"));
    QCOMPARE(single(bank, QStringLiteral("select queText || '|' || prompt from tQue")), QStringLiteral("有效率50%9以上|解析%4"));
    QCOMPARE(single(bank, QStringLiteral("select optText from tQueOpt where optName = 'A'")), QStringLiteral("选项%2"));
}

void TestBanks::largeBankGenerator()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess tool;
    tool.start(QStringLiteral(BANKTOOL), {QStringLiteral("large"), dir.path(), QStringLiteral("500"), QStringLiteral("80")});
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());

    BankFile bank;
    QVERIFY(bank.open(dir.filePath("MedicalDB.db"), FixtureBank::builtinPhrase()));
    QCOMPARE(single(bank, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQue")), QStringLiteral("500"));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQue where userStatus <> '0'")), QStringLiteral("80"));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQueLog where type = '001'")), QStringLiteral("80"));
    QCOMPARE(single(bank, QStringLiteral("select count(*) from tQue where cateListId not in (select cateListId from tCateList)")),
             QStringLiteral("0"));
    QCOMPARE(single(bank, QStringLiteral(
                 "select count(*) from tQue q join tCateList g on q.cateListId = g.cateListId "
                 "where g.queTypeId in (1, 2, 3, 4, 6, 7, 11) and (select count(*) from tQueOpt o where o.queId = q.queId) < 2")),
             QStringLiteral("0"));
}

QTEST_MAIN(TestBanks)
#include "tst_banks.moc"
