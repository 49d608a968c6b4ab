// The download object's recursive copy and removal.
#include "DownLoadQThread.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

void makeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// Every entry under root, links and hidden ones included, as relative paths;
// links marked "@", directories "/".
QStringList treeOf(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QString name = QDir(root).relativeFilePath(info.filePath());
        if (info.isSymLink())
            name += QLatin1Char('@');
        else if (info.isDir())
            name += QLatin1Char('/');
        entries.append(name);
    }
    entries.sort();
    return entries;
}

} // namespace

class TestDirectoryFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void copyTakesNestedFilesOnly();
    void copyOntoExistingEntries_data();
    void copyOntoExistingEntries();
    void copyNeverWritesThroughATargetLink_data();
    void copyNeverWritesThroughATargetLink();

    void removeTree();
    void removeMissingDirectory();
    void removeStopsAtReadOnlyFile();
    void removeTakesLinksNotTheirTargets();
    void removeLinkedDirectoryTakesTheLinkOnly();

private:
    QString path(const QString &relative) const { return work->filePath(relative); }
    void makeSource();

    std::unique_ptr<QTemporaryDir> work;
    DownLoadQThread object;
};

void TestDirectoryFiles::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
}

void TestDirectoryFiles::makeSource()
{
    makeFile(path("src/a.txt"), "new a");
    makeFile(path("src/B.txt"), "new b");
    makeFile(path("src/.hidden"), "hidden");
    makeFile(path("src/sub/c.txt"), "new c");
    makeFile(path("src/sub/.h2"), "hidden");
    makeFile(path("src/sub/deeper/d.txt"), "new d");
    makeFile(path("outside/victim.txt"), "victim");
    QVERIFY(QFile::link(path("outside/victim.txt"), path("src/link-file")));
    QVERIFY(QFile::link(path("outside"), path("src/link-dir")));
}

void TestDirectoryFiles::copyTakesNestedFilesOnly()
{
    makeSource();
    QCOMPARE(object.copyDirectoryFiles(path("src"), path("dst"), false), 0);
    QCOMPARE(treeOf(path("dst")),
             (QStringList{"B.txt", "a.txt", "sub/", "sub/c.txt", "sub/deeper/", "sub/deeper/d.txt"}));
    QCOMPARE(contentOf(path("dst/sub/deeper/d.txt")), QByteArray("new d"));
}

void TestDirectoryFiles::copyOntoExistingEntries_data()
{
    QTest::addColumn<QString>("existing"); // made in dst before the copy
    QTest::addColumn<bool>("directory");   // ... as a non-empty directory
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QString>("error");    // %1 the work directory
    const auto row = [](const char *name, const char *existing, bool directory, bool overwrite,
                        const char *error) {
        QTest::newRow(name) << QString::fromUtf8(existing) << directory << overwrite << QString::fromUtf8(error);
    };
    row("file replaced with overwrite", "a.txt", false, true, "");
    row("file kept without overwrite", "a.txt", false, false,
        "[error]:拷贝【%1/src/a.txt】\n to【%1/dst/a.txt】失败.");
    row("nested file kept without overwrite", "sub/deeper/d.txt", false, false,
        "[error]:copyDirectoryFiles:拷贝【%1/src/sub】\n to【%1/dst/sub】失败.");
    row("directory in the file's place", "a.txt", true, true,
        "[error]:当允许覆盖操作时，将旧文件进行删除[a.txt]操作失败.");
    row("file in a directory's place", "sub", false, true,
        "[error]:copyDirectoryFiles:拷贝【%1/src/sub】\n to【%1/dst/sub】失败.");
}

void TestDirectoryFiles::copyOntoExistingEntries()
{
    QFETCH(QString, existing);
    QFETCH(bool, directory);
    QFETCH(bool, overwrite);
    QFETCH(QString, error);
    makeSource();
    makeFile(path("dst/") + existing + (directory ? "/inner.txt" : ""), "old");
    const int result = object.copyDirectoryFiles(path("src"), path("dst"), overwrite);
    QCOMPARE(result, error.isEmpty() ? 0 : -1);
    if (error.isEmpty())
        QCOMPARE(contentOf(path("dst/") + existing), QByteArray("new a"));
    else
        QCOMPARE(object.errorString(), error.arg(work->path()));
}

void TestDirectoryFiles::copyNeverWritesThroughATargetLink_data()
{
    QTest::addColumn<QString>("linked");  // entry of dst made a link
    QTest::addColumn<QString>("pointsTo"); // under the work directory
    QTest::addColumn<bool>("overwrite");
    const auto rows = [](const char *name, const char *linked, const char *pointsTo) {
        for (const bool overwrite : {false, true})
            QTest::addRow("%s, %s", name, overwrite ? "replaced" : "kept")
                << QString::fromUtf8(linked) << QString::fromUtf8(pointsTo) << overwrite;
    };
    rows("link to a file", "a.txt", "outside/victim.txt");
    rows("dangling link", "a.txt", "outside/new.txt");
    rows("link to a directory", "sub", "outside");
    rows("the target itself", "", "outside");
}

void TestDirectoryFiles::copyNeverWritesThroughATargetLink()
{
    QFETCH(QString, linked);
    QFETCH(QString, pointsTo);
    QFETCH(bool, overwrite);
    makeSource();
    const QString link = linked.isEmpty() ? path("dst") : path("dst/") + linked;
    QVERIFY(QDir().mkpath(path("dst")));
    if (linked.isEmpty())
        QVERIFY(QDir().rmdir(path("dst")));
    QVERIFY(QFile::link(path(pointsTo), link));
    const QStringList outside = treeOf(path("outside"));

    QCOMPARE(object.copyDirectoryFiles(path("src"), path("dst"), overwrite), overwrite ? 0 : -1);
    QCOMPARE(treeOf(path("outside")), outside);
    QCOMPARE(contentOf(path("outside/victim.txt")), QByteArray("victim"));
    QCOMPARE(QFileInfo(link).isSymLink(), !overwrite);
    if (overwrite)
        QCOMPARE(treeOf(path("dst")),
                 (QStringList{"B.txt", "a.txt", "sub/", "sub/c.txt", "sub/deeper/", "sub/deeper/d.txt"}));
}

void TestDirectoryFiles::removeTree()
{
    makeSource();
    QCOMPARE(object.removeDirWithContent(path("src")), 0);
    QVERIFY(!QFileInfo::exists(path("src")));
    QCOMPARE(contentOf(path("outside/victim.txt")), QByteArray("victim"));
}

void TestDirectoryFiles::removeMissingDirectory()
{
    QCOMPARE(object.removeDirWithContent(path("missing")), 0);
}

void TestDirectoryFiles::removeStopsAtReadOnlyFile()
{
    makeFile(path("top/a.txt"), "a");
    makeFile(path("top/ro/locked.txt"), "locked");
    makeFile(path("top/ro/other.txt"), "other");
    makeFile(path("top/z/deep/x.txt"), "x");
    QVERIFY(QFile::setPermissions(path("top/ro/locked.txt"), QFile::ReadOwner | QFile::ReadGroup));
    QCOMPARE(object.removeDirWithContent(path("top")), -1);
    // Directories go deepest first; "ro" is the first that cannot.
    QCOMPARE(treeOf(path("top")), (QStringList{"ro/", "ro/locked.txt"}));
}

void TestDirectoryFiles::removeTakesLinksNotTheirTargets()
{
    makeFile(path("outside/victim.txt"), "victim");
    makeFile(path("top/sub/a.txt"), "a");
    QVERIFY(QFile::link(path("outside"), path("top/sub/link-dir")));
    QVERIFY(QFile::link(path("outside/victim.txt"), path("top/link-file")));
    QVERIFY(QFile::link(path("nowhere"), path("top/dangling")));
    QCOMPARE(object.removeDirWithContent(path("top")), 0);
    QVERIFY(!QFileInfo::exists(path("top")));
    QCOMPARE(treeOf(path("outside")), QStringList{"victim.txt"});
    QCOMPARE(contentOf(path("outside/victim.txt")), QByteArray("victim"));
}

void TestDirectoryFiles::removeLinkedDirectoryTakesTheLinkOnly()
{
    makeFile(path("outside/victim.txt"), "victim");
    QVERIFY(QFile::link(path("outside"), path("top")));
    QCOMPARE(object.removeDirWithContent(path("top")), 0);
    QVERIFY(!QFileInfo(path("top")).isSymLink());
    QCOMPARE(treeOf(path("outside")), QStringList{"victim.txt"});
}

QTEST_MAIN(TestDirectoryFiles)
#include "tst_directoryfiles.moc"
