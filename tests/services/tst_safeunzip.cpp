// Unpacking archives from the network: good ones whole, hostile or damaged
// ones not at all.
#include "SafeUnzip.h"
#include "TestZip.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// Every path under dir with its bytes ("<dir>" for folders, "-> target" for links).
QStringList tree(const QString &dir)
{
    QStringList lines;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString line = QDir(dir).relativeFilePath(path) + QLatin1String(": ");
        if (info.isSymLink()) {
            line += QLatin1String("-> ") + info.symLinkTarget();
        } else if (info.isDir()) {
            line += QLatin1String("<dir>");
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            line += QString::fromLatin1(file.readAll().toHex());
        }
        lines << line;
    }
    lines.sort();
    return lines;
}

} // namespace

class TestSafeUnzip : public QObject
{
    Q_OBJECT

private slots:
    void unpacksEverything();
    void refusesHostileArchives_data();
    void refusesHostileArchives();
    void refusal_data();
    void refusal();
    void onlyIntoAFreshFolder();
    void fullDisk();
};

void TestSafeUnzip::unpacksEverything()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("good.zip"));
    QString error;
    QVERIFY2(writeTestZip(archive,
                          {{QStringLiteral("MedicalDB.db"), QByteArray(70000, 'd')},
                           {QStringLiteral("images/"), QByteArray()},
                           {QStringLiteral("images/a.png"), "png-a"},
                           {QStringLiteral("deep/er/b.txt"), ""},
                           {QStringLiteral("名字.txt"), "中文"}},
                          &error),
             qPrintable(error));
    const QString target = dir.filePath(QStringLiteral("package"));
    QString reason;
    QCOMPARE(SafeUnzip::extract(archive, target, &reason), 0);
    QVERIFY(reason.isEmpty());
    QStringList expected{"MedicalDB.db: " + QString::fromLatin1(QByteArray(70000, 'd').toHex()), "deep: <dir>",
                          "deep/er: <dir>", "deep/er/b.txt: ", "images: <dir>",
                          "images/a.png: " + QString::fromLatin1(QByteArray("png-a").toHex()),
                          QStringLiteral("名字.txt: ") + QString::fromLatin1(QByteArray("中文").toHex())};
    expected.sort();
    QCOMPARE(tree(target), expected);
}

void TestSafeUnzip::refusesHostileArchives_data()
{
    QTest::addColumn<QList<TestZipEntry>>("entries");
    QTest::addColumn<QString>("reasonHolds");
    const TestZipEntry good{QStringLiteral("MedicalDB.db"), "bank"};
    QTest::newRow("parent folder") << QList<TestZipEntry>{good, {QStringLiteral("../evil.txt"), "evil"}} << "leaves";
    QTest::newRow("parent folder deeper")
        << QList<TestZipEntry>{good, {QStringLiteral("images/../../evil.txt"), "evil"}} << "leaves";
    QTest::newRow("absolute") << QList<TestZipEntry>{good, {QStringLiteral("/abs/evil.txt"), "evil"}} << "absolute";
    QTest::newRow("backslash") << QList<TestZipEntry>{good, {QStringLiteral("a\\b.txt"), "evil"}} << "backslash";
    QTest::newRow("backslash parent") << QList<TestZipEntry>{good, {QStringLiteral("..\\evil.txt"), "evil"}}
                                      << "backslash";
    QTest::newRow("drive letter") << QList<TestZipEntry>{good, {QStringLiteral("C:evil.txt"), "evil"}} << "drive";
    QTest::newRow("symbolic link") << QList<TestZipEntry>{{QStringLiteral("link"), "..", true},
                                                          {QStringLiteral("link/evil.txt"), "evil"}}
                                   << "symbolic link";
    QTest::newRow("symbolic link to a file")
        << QList<TestZipEntry>{good, {QStringLiteral("images.zip"), "/etc/passwd", true}} << "symbolic link";
    // The first entry is fine: nothing may be written before the bad one is seen.
    QTest::newRow("bad entry last") << QList<TestZipEntry>{good, good, {QStringLiteral("../../x"), "x"}} << "leaves";
    QTest::newRow("damaged data") << QList<TestZipEntry>{{QStringLiteral("MedicalDB.db"), QByteArray(5000, 'b')}}
                                  << "damaged";
    QTest::newRow("no zip at all") << QList<TestZipEntry>{} << "no zip";
}

void TestSafeUnzip::refusesHostileArchives()
{
    QFETCH(QList<TestZipEntry>, entries);
    QFETCH(QString, reasonHolds);
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("work/in.zip"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("work"))));
    if (entries.isEmpty()) {
        QFile html(archive);
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><body>404</body></html>");
    } else {
        QString error;
        QVERIFY2(writeTestZip(archive, entries, &error), qPrintable(error));
        if (QByteArray(QTest::currentDataTag()) == "damaged data")
            QVERIFY(damageFirstEntry(archive));
    }
    const QStringList before = tree(dir.path());
    QString reason;
    QCOMPARE(SafeUnzip::extract(archive, dir.filePath(QStringLiteral("work/package")), &reason), -1);
    QVERIFY2(reason.contains(reasonHolds), qPrintable(reason));
    // Nothing written anywhere; the unpacking folder is gone again.
    QCOMPARE(tree(dir.path()), before);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/abs/evil.txt")));
}

void TestSafeUnzip::refusal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain") << "MedicalDB.db" << false;
    QTest::newRow("folder") << "images/" << false;
    QTest::newRow("dots in a name") << "a..b/..c" << false;
    QTest::newRow("dot folder") << "./a" << false;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("parent") << ".." << true;
    QTest::newRow("parent folder") << "../" << true;
    QTest::newRow("inner parent") << "a/../b" << true;
    QTest::newRow("absolute") << "/a" << true;
    QTest::newRow("drive") << "c:/a" << true;
    QTest::newRow("backslash") << "a\\b" << true;
}

void TestSafeUnzip::refusal()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(!SafeUnzip::refusal(name).isEmpty(), refused);
}

void TestSafeUnzip::onlyIntoAFreshFolder()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("good.zip"));
    QString error;
    QVERIFY(writeTestZip(archive, {{QStringLiteral("MedicalDB.db"), "new"}}, &error));
    const QString target = dir.filePath(QStringLiteral("target"));
    QVERIFY(QDir().mkpath(target));
    QFile old(target + QStringLiteral("/MedicalDB.db"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QString reason;
    QCOMPARE(SafeUnzip::extract(archive, target, &reason), -1);
    QVERIFY2(reason.contains(QStringLiteral("exists")), qPrintable(reason));
    QCOMPARE(tree(target), QStringList{"MedicalDB.db: " + QString::fromLatin1(QByteArray("old").toHex())});
}

void TestSafeUnzip::fullDisk()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("big.zip"));
    QString error;
    QVERIFY(writeTestZip(archive, {{QStringLiteral("a.txt"), "small"}, {QStringLiteral("MedicalDB.db"), QByteArray(200000, 'x')}},
                         &error));
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous;
    // Above the archive's own size would be wrong: it is only read.
    limit.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &limit);
    QString reason;
    const int result = SafeUnzip::extract(archive, dir.filePath(QStringLiteral("out")), &reason);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(result, -1);
    QVERIFY2(reason.contains(QStringLiteral("cannot write")), qPrintable(reason));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("out"))));
}

QTEST_GUILESS_MAIN(TestSafeUnzip)
#include "tst_safeunzip.moc"
