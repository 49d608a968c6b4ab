// The file-attribute calls the start-up uses to make a bank writable, on
// POSIX permission bits (which also hold for root, who may write anything).
#include "FileAttributes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info;
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

} // namespace

class TestFileAttributes : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void missingPathCannotBeSet();

private:
    // A file or directory named "中文 entry" (non-ASCII, in the local 8-bit
    // encoding) with the mode; its path.
    QString make(bool directory, mode_t mode);

    QTemporaryDir dir;
};

QString TestFileAttributes::make(bool directory, mode_t mode)
{
    const QString path = dir.filePath(QStringLiteral("中文 entry"));
    if (directory) {
        if (!QDir().mkdir(path))
            return QString();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("bank") != 4)
            return QString();
    }
    return chmod(QFile::encodeName(path).constData(), mode) == 0 ? path : QString();
}

void TestFileAttributes::read_data()
{
    QTest::addColumn<bool>("directory");
    QTest::addColumn<int>("mode");
    QTest::addColumn<qulonglong>("attributes");
    QTest::newRow("writable file") << false << 0644 << qulonglong(FILE_ATTRIBUTE_NORMAL);
    QTest::newRow("owner may write only") << false << 0200 << qulonglong(FILE_ATTRIBUTE_NORMAL);
    QTest::newRow("read-only file") << false << 0444 << qulonglong(FILE_ATTRIBUTE_READONLY);
    QTest::newRow("others may write, owner not") << false << 0466 << qulonglong(FILE_ATTRIBUTE_READONLY);
    QTest::newRow("directory") << true << 0755 << qulonglong(FILE_ATTRIBUTE_DIRECTORY);
    QTest::newRow("read-only directory") << true << 0555
                                         << qulonglong(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
}

void TestFileAttributes::read()
{
    QFETCH(bool, directory);
    QFETCH(int, mode);
    QFETCH(qulonglong, attributes);
    const QString path = make(directory, mode_t(mode));
    QVERIFY(!path.isEmpty());
    QCOMPARE(qulonglong(GetFileAttributesA(path.toLocal8Bit().constData())), attributes);
    chmod(QFile::encodeName(path).constData(), 0755);
    QVERIFY(directory ? QDir().rmdir(path) : QFile::remove(path));
}

void TestFileAttributes::write_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<qulonglong>("attributes");
    QTest::addColumn<int>("after");
    QTest::newRow("normal on read-only") << 0444 << qulonglong(FILE_ATTRIBUTE_NORMAL) << 0644;
    QTest::newRow("normal on no bits") << 0000 << qulonglong(FILE_ATTRIBUTE_NORMAL) << 0200;
    QTest::newRow("normal on writable") << 0664 << qulonglong(FILE_ATTRIBUTE_NORMAL) << 0664;
    QTest::newRow("read-only on writable") << 0666 << qulonglong(FILE_ATTRIBUTE_READONLY) << 0444;
}

void TestFileAttributes::write()
{
    QFETCH(int, before);
    QFETCH(qulonglong, attributes);
    QFETCH(int, after);
    const QString path = make(false, mode_t(before));
    QVERIFY(!path.isEmpty());
    QVERIFY(SetFileAttributesA(path.toLocal8Bit().constData(), DWORD(attributes)));
    QCOMPARE(int(modeOf(path)), after);
    QVERIFY(QFile::remove(path));
}

void TestFileAttributes::missingPathCannotBeSet()
{
    const QByteArray missing = dir.filePath(QStringLiteral("MedicalDB.db")).toLocal8Bit();
    QCOMPARE(GetFileAttributesA(missing.constData()), INVALID_FILE_ATTRIBUTES);
    QVERIFY(!SetFileAttributesA(missing.constData(), FILE_ATTRIBUTE_NORMAL));
    QVERIFY(!QFile::exists(QString::fromLocal8Bit(missing)));
}

QTEST_GUILESS_MAIN(TestFileAttributes)
#include "tst_fileattributes.moc"
