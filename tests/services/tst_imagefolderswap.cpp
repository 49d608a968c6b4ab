// A package's images put into a subject only together with its bank.
#include "ImageFolderSwap.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Every file under dir with its bytes, sorted.
QStringList tree(const QString &dir)
{
    QStringList lines;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        lines << QDir(dir).relativeFilePath(path) + QLatin1String(": ") + QString::fromUtf8(file.readAll());
    }
    lines.sort();
    return lines;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestImageFolderSwap : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newImagesOverTheOldOnes();
    void nothingChangesUntilTheCommit();
    void aCutOffSwapGetsTheOldImagesBack();
    void noNewImages();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString subject;
    QString package;
};

void TestImageFolderSwap::init()
{
    dir = std::make_unique<QTemporaryDir>();
    subject = dir->filePath(QStringLiteral("subject"));
    package = dir->filePath(QStringLiteral("package/images"));
    writeFile(subject + QStringLiteral("/images/mine.png"), "mine");
    writeFile(subject + QStringLiteral("/images/shared.png"), "old");
    writeFile(subject + QStringLiteral("/images/deep/a.png"), "deep");
    writeFile(package + QStringLiteral("/shared.png"), "new");
    writeFile(package + QStringLiteral("/added.png"), "added");
}

void TestImageFolderSwap::newImagesOverTheOldOnes()
{
    {
        ImageFolderSwap images(subject);
        QString reason;
        QVERIFY2(images.stage(package, &reason), qPrintable(reason));
        QVERIFY2(images.commit(&reason), qPrintable(reason));
    }
    QCOMPARE(tree(subject + QStringLiteral("/images")),
             (QStringList{"added.png: added", "deep/a.png: deep", "mine.png: mine", "shared.png: new"}));
    QCOMPARE(entries(subject), QStringList{QStringLiteral("images")});
}

void TestImageFolderSwap::nothingChangesUntilTheCommit()
{
    const QStringList before = tree(subject);
    const QStringList oldImages = tree(subject + QStringLiteral("/images"));
    {
        ImageFolderSwap images(subject);
        QString reason;
        QVERIFY2(images.stage(package, &reason), qPrintable(reason));
        // The old images as they were while the stage waits for the bank.
        QCOMPARE(tree(subject + QStringLiteral("/images")), oldImages);
    }
    QCOMPARE(tree(subject), before);
    QCOMPARE(entries(subject), QStringList{QStringLiteral("images")});
}

void TestImageFolderSwap::aCutOffSwapGetsTheOldImagesBack()
{
    // Cut off between its two moves: the old images aside, none in place.
    QVERIFY(QDir().rename(subject + QStringLiteral("/images"), subject + QStringLiteral("/images.old")));
    writeFile(subject + QStringLiteral("/images.new/half.png"), "half");
    ImageFolderSwap images(subject);
    QString reason;
    QVERIFY2(images.stage(package, &reason), qPrintable(reason));
    QVERIFY2(images.commit(&reason), qPrintable(reason));
    QCOMPARE(tree(subject + QStringLiteral("/images")),
             (QStringList{"added.png: added", "deep/a.png: deep", "mine.png: mine", "shared.png: new"}));
    QCOMPARE(entries(subject), QStringList{QStringLiteral("images")});
}

void TestImageFolderSwap::noNewImages()
{
    const QStringList before = tree(subject);
    ImageFolderSwap images(subject);
    QString reason;
    QVERIFY(images.stage(QString(), &reason));
    QVERIFY(images.commit(&reason));
    QCOMPARE(tree(subject), before);
}

QTEST_GUILESS_MAIN(TestImageFolderSwap)
#include "tst_imagefolderswap.moc"
