// Unpacking archives from the network: good ones whole, hostile or damaged
// ones not at all.
#include "SafeUnzip.h"
#include "TestZip.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <limits>
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
    void refusesTooMuchBeforeWriting_data();
    void refusesTooMuchBeforeWriting();
    void neverWritesBeyondTheDeclaredSize();
    void reportsProgressAndStops();
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


void TestSafeUnzip::refusesTooMuchBeforeWriting_data()
{
    QTest::addColumn<QList<TestZipEntry>>("entries");
    QTest::addColumn<quint64>("maximum");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reasonHolds");
    const QByteArray part(40000, 'p');
    const QList<TestZipEntry> three{{QStringLiteral("a"), part}, {QStringLiteral("b"), part},
                                    {QStringLiteral("images/c"), part}};
    QTest::newRow("all of it over the maximum") << three << quint64(119999) << int(SafeUnzip::tooLarge) << "上限";
    QTest::newRow("all of it at the maximum") << three << quint64(120000) << 0 << "";
    // Declares far more than it holds: refused by what it declares.
    QTest::newRow("a bomb over the default maximum")
        << QList<TestZipEntry>{{QStringLiteral("MedicalDB.db"), "bank"},
                               {QStringLiteral("images.zip"), QByteArray(1000, 'z'), false, qint64(3) << 30}}
        << SafeUnzip::defaultMaximumSize << int(SafeUnzip::tooLarge) << "上限";
    QTest::newRow("more than the disk has free")
        << QList<TestZipEntry>{{QStringLiteral("images/huge.png"), QByteArray(1000, 'z'), false, qint64(1) << 52}}
        << std::numeric_limits<quint64>::max() << int(SafeUnzip::tooLarge) << "磁盘可用空间";
}

void TestSafeUnzip::refusesTooMuchBeforeWriting()
{
    QFETCH(QList<TestZipEntry>, entries);
    QFETCH(quint64, maximum);
    QFETCH(int, result);
    QFETCH(QString, reasonHolds);
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("in.zip"));
    QString error;
    QVERIFY2(writeTestZip(archive, entries, &error), qPrintable(error));
    SafeUnzip::setMaximumSize(maximum);
    QString reason;
    bool progressed = false;
    const int got = SafeUnzip::extract(archive, dir.filePath(QStringLiteral("package")), &reason,
                                       [&](quint64, quint64) { return progressed = true; });
    SafeUnzip::setMaximumSize(SafeUnzip::defaultMaximumSize);
    QCOMPARE(got, result);
    QVERIFY2(reason.contains(reasonHolds), qPrintable(reason));
    // Refused before the first byte: not even the folder was made.
    QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("package"))), result == 0);
    QCOMPARE(progressed, result == 0);
}

void TestSafeUnzip::neverWritesBeyondTheDeclaredSize()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("in.zip"));
    // Holds a megabyte, says a thousand bytes, with the checksum of those.
    const QByteArray held(1 << 20, 'x');
    QString error;
    QVERIFY2(writeTestZip(archive, {{QStringLiteral("images/a.png"), held, false, 1000}}, &error), qPrintable(error));
    const QString target = dir.filePath(QStringLiteral("package"));
    QString reason;
    QCOMPARE(SafeUnzip::extract(archive, target, &reason), 0);
    QCOMPARE(QFileInfo(target + QStringLiteral("/images/a.png")).size(), 1000);
}

void TestSafeUnzip::reportsProgressAndStops()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("in.zip"));
    QString error;
    QVERIFY2(writeTestZip(archive, {{QStringLiteral("a"), QByteArray(300000, 'a')}, {QStringLiteral("b"), "b"}},
                          &error),
             qPrintable(error));
    QList<quint64> seen;
    QString reason;
    QCOMPARE(SafeUnzip::extract(archive, dir.filePath(QStringLiteral("whole")), &reason,
                                [&](quint64 written, quint64 total) {
                                    if (total != 300001)
                                        return false;
                                    seen << written;
                                    return true;
                                }),
             0);
    QVERIFY(seen.size() > 2);
    QCOMPARE(seen.last(), quint64(300001));
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));

    // A stop leaves nothing behind.
    const QString stopped = dir.filePath(QStringLiteral("stopped"));
    QCOMPARE(SafeUnzip::extract(archive, stopped, &reason, [](quint64, quint64) { return false; }), -1);
    QVERIFY(!QFileInfo::exists(stopped));
}

QTEST_GUILESS_MAIN(TestSafeUnzip)
#include "tst_safeunzip.moc"
