// Installing a subject package from the local web service: the staged,
// checked installation in both modes, and every way it can fail leaving the
// user's data as it was.
#include "FixtureBank.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "MyMessageBox.h"
#include "PublicData.h"
#include "Resources.h"
#include "SafeUnzip.h"
#include "SelectSubjectCell.h"
#include "SelectSubjectsDialog.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SubjectPackage.h"
#include "TempWorkDir.h"
#include "TestZip.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

const QString packagePath = QStringLiteral("/pkg/installnew_blx.zip");
const QString cataloguePath = QStringLiteral("/mobi/verData.php");
const QString failureText = QStringLiteral("科目安装失败,请重新下载.");
const QString tooLargeText = QStringLiteral("科目包过大或磁盘空间不足,无法安装.");
const QString earlierAddress = QStringLiteral("http://127.0.0.1:1/pkg/installnew_earlier.zip");
const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

// Every entry under dir with a hash of its bytes, sorted.
QStringList hashTree(const QString &dir)
{
    QStringList lines;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString line = QDir(dir).relativeFilePath(path);
        if (info.isSymLink())
            line += QLatin1String(" -> ") + info.symLinkTarget();
        else if (!info.isDir())
            line += QLatin1Char(' ')
                + QString::fromLatin1(QCryptographicHash::hash(bytesOf(path), QCryptographicHash::Sha256).toHex());
        lines << line;
    }
    lines.sort();
    return lines;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

template<typename T>
T *visibleWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(w); window && window->isVisible())
            return window;
    return nullptr;
}

QString shownMessage()
{
    auto *box = visibleWindow<MyMessageBox>();
    return box ? box->findChild<QLabel *>(QStringLiteral("label_message"))->text() : QString();
}

QByteArray zipBytes(const QList<TestZipEntry> &list)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.zip"));
    QString error;
    if (!writeTestZip(path, list, &error))
        qWarning("%s", qPrintable(error));
    return bytesOf(path);
}

} // namespace

class TestSubjectInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void installs_data();
    void installs();
    void keepsTheOldBankAndReopensTheStore();
    void faults_data();
    void faults();
    void failsAtOnceWithoutAPackageFile_data();
    void failsAtOnceWithoutAPackageFile();
    void clearDownloadFolder();
    void stagingFoldersGoAtTheStart();
    void rewriteOfTheAddress();
    void failedInstallKeepsAnExistingSubject_data();
    void failedInstallKeepsAnExistingSubject();
    void bombIsRefusedBeforeWriting_data();
    void bombIsRefusedBeforeWriting();
    void unpackingShowsItsProgress();
    void closingWhileUnpacking();

private:
    // Starts the dialog: mode 0 loads the catalogue and presses the row's
    // download button, mode 1 downloads the package directly.
    void start(int mode);
    SelectSubjectCell *row() const;
    // Files under "data" that a failure must leave alone: another subject
    // and, in mode 1, the bank of "data" itself with a journal beside it.
    void userData();
    // The package served: the bank of the fixture and an images.zip of these.
    void serveWithImages(const QList<TestZipEntry> &images);

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<FixtureBank> source;
    QTemporaryDir packages;
    QString packageZip;
    QPointer<SelectSubjectsDialog> dialog;
};

void TestSubjectInstall::initTestCase()
{
    initResources();
    source = std::make_unique<FixtureBank>();
    source->addSql(QStringLiteral("UPDATE sysConfig SET value = 'pkg' WHERE key = 'bankVersion';"));
    QVERIFY2(source->open(), qPrintable(source->error()));
    packageZip = packages.filePath(QStringLiteral("blx.zip"));
    QString error;
    QVERIFY2(makeSubjectPackage(source->path(), packageZip, &error), qPrintable(error));
}

void TestSubjectInstall::init()
{
    workDir = std::make_unique<TempWorkDir>();
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    service->addPackage(QStringLiteral("blx"), packageZip, QStringLiteral("病理学"));
    log = std::make_unique<LogCapture>();
}

void TestSubjectInstall::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != dialog)
            w->close();
    delete dialog;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete SqliteClass::instance();
    log.reset();
    service.reset();
    workDir.reset();
}

void TestSubjectInstall::start(int mode)
{
    dialog = new SelectSubjectsDialog;
    dialog->startSelection(mode == 1 ? service->catalogueLink(QStringLiteral("blx")) : QString(), mode);
    dialog->show();
    if (mode == 1)
        return;
    auto *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QTRY_VERIFY(tree->topLevelItemCount() > 0);
    tree->expandAll();
    SelectSubjectCell *subject = row();
    QVERIFY(subject);
    QTRY_VERIFY(subject->isVisible());
    QTest::mouseClick(subject->findChild<QPushButton *>(QStringLiteral("pushButton_save")), Qt::LeftButton);
}

SelectSubjectCell *TestSubjectInstall::row() const
{
    for (SelectSubjectCell *cell : dialog->findChildren<SelectSubjectCell *>())
        if (cell->SubName == QStringLiteral("病理学"))
            return cell;
    return nullptr;
}

void TestSubjectInstall::userData()
{
    FixtureBank other;
    QVERIFY(other.open());
    writeFile(QStringLiteral("data/installnew_kq/MedicalDB.db"), bytesOf(other.filePath()));
    writeFile(QStringLiteral("data/installnew_kq/images/a.png"), "kq image");
    writeFile(QStringLiteral("data/MedicalDB.db"), bytesOf(other.filePath()));
    writeFile(QStringLiteral("data/images/img50.png"), "the user's image");
    PublicData::setValue(QStringLiteral("Data/DBPath"), QStringLiteral("data/installnew_kq"));
}

void TestSubjectInstall::installs_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("subjectDir");
    QTest::newRow("catalogue") << 0 << "data/installnew_blx";
    QTest::newRow("direct download") << 1 << "data";
}

void TestSubjectInstall::installs()
{
    QFETCH(int, mode);
    QFETCH(QString, subjectDir);
    writeFile(QStringLiteral("IniFilePath/notes.txt"), "kept");
    writeFile(QStringLiteral("IniFilePath/old.zip"), "cleared");
    start(mode);
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    QVERIFY(installed.wait(20000));
    QCOMPARE(installed.count(), 1);
    QCOMPARE(installed.at(0).at(0).toString(), subjectDir);

    QCOMPARE(bytesOf(subjectDir + QStringLiteral("/MedicalDB.db")), bytesOf(source->filePath()));
    QStringList images = entries(source->imagesDir());
    QVERIFY(!images.isEmpty());
    for (const QString &image : images)
        QCOMPARE(bytesOf(subjectDir + QStringLiteral("/images/") + image), bytesOf(source->imagesDir() + "/" + image));
    QCOMPARE(entries(subjectDir), (QStringList{QStringLiteral("MedicalDB.db"), QStringLiteral("images")}));
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), subjectDir);
    QCOMPARE(PublicData::value(QStringLiteral("DownLoadUrl/Url")), service->packageUrl(QStringLiteral("blx")));
    QCOMPARE(service->requests(packagePath).size(), 1);
    QCOMPARE(dialog->findChild<QProgressBar *>()->value(), 100);
    // The package is gone, notes stay.
    QCOMPARE(entries(QStringLiteral("IniFilePath")), QStringList{QStringLiteral("notes.txt")});
    QVERIFY(shownMessage().isEmpty());
    // No longer busy: leaving asks nothing.
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestSubjectInstall::keepsTheOldBankAndReopensTheStore()
{
    FixtureBank old;
    old.addSql(QStringLiteral("UPDATE sysConfig SET value = 'old' WHERE key = 'bankVersion';"));
    QVERIFY(old.open());
    writeFile(QStringLiteral("data/MedicalDB.db"), bytesOf(old.filePath()));
    const QByteArray oldBytes = bytesOf(QStringLiteral("data/MedicalDB.db"));
    QCOMPARE(SqliteClass::instance()->openDatabase(QStringLiteral("data"), phrase, 0), 2);
    QCOMPARE(sqlRow(QStringLiteral("select value from sysConfig where key = 'bankVersion'")).value(0), QStringLiteral("old"));

    start(1);
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    QVERIFY(installed.wait(20000));
    const QStringList kept = QDir(QStringLiteral("data")).entryList({QStringLiteral("MedicalDB.db.*.bak")});
    QCOMPARE(kept.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^MedicalDB\\.db\\.\\d{8}-\\d{6}\\.bak$")).match(kept.first()).hasMatch(),
             qPrintable(kept.first()));
    QCOMPARE(bytesOf(QStringLiteral("data/") + kept.first()), oldBytes);
    QCOMPARE(bytesOf(QStringLiteral("data/MedicalDB.db")), bytesOf(source->filePath()));
    QVERIFY(QSqlDatabase::database().isOpen());
    QCOMPARE(sqlRow(QStringLiteral("select value from sysConfig where key = 'bankVersion'")).value(0), QStringLiteral("pkg"));
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QStringLiteral("data"));
}

void TestSubjectInstall::faults_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reason");
    const QByteArray bank = bytesOf(source->filePath());
    const QByteArray images = zipBytes({{QStringLiteral("images/"), QByteArray()}, {QStringLiteral("images/x.png"), "x"}});
    for (int mode : {0, 1}) {
        const char *m = mode == 0 ? "catalogue: " : "direct: ";
        QTest::newRow(qPrintable(m + QString("404"))) << mode << "404" << QByteArray() << "科目包下载失败";
        QTest::newRow(qPrintable(m + QString("drop mid-body"))) << mode << "drop" << QByteArray() << "科目包下载失败";
        QTest::newRow(qPrintable(m + QString("200 with an HTML body")))
            << mode << "body" << QByteArray("<html><body>维护中</body></html>") << "科目包无法解压";
        QTest::newRow(qPrintable(m + QString("302"))) << mode << "302" << QByteArray() << "科目包下载失败";
        QTest::newRow(qPrintable(m + QString("no MedicalDB.db")))
            << mode << "body" << zipBytes({{QStringLiteral("images.zip"), images}}) << "题库不可用";
        QTest::newRow(qPrintable(m + QString("garbage bank")))
            << mode << "body"
            << zipBytes({{QStringLiteral("MedicalDB.db"), QByteArray(16384, 'g')}, {QStringLiteral("images.zip"), images}})
            << "题库不可用";
        QTest::newRow(qPrintable(m + QString("plain bank"))) << mode << "plain" << QByteArray() << "题库不可用";
        QTest::newRow(qPrintable(m + QString("../evil.txt")))
            << mode << "body" << zipBytes({{QStringLiteral("MedicalDB.db"), bank}, {QStringLiteral("../evil.txt"), "evil"}}) << "科目包无法解压";
        QTest::newRow(qPrintable(m + QString("/abs/evil.txt")))
            << mode << "body" << zipBytes({{QStringLiteral("MedicalDB.db"), bank}, {QStringLiteral("/abs/evil.txt"), "evil"}}) << "科目包无法解压";
        QTest::newRow(qPrintable(m + QString("a\\b.txt")))
            << mode << "body" << zipBytes({{QStringLiteral("MedicalDB.db"), bank}, {QStringLiteral("a\\b.txt"), "evil"}}) << "科目包无法解压";
        QTest::newRow(qPrintable(m + QString("symbolic link")))
            << mode << "body"
            << zipBytes({{QStringLiteral("images"), "../../data", true}, {QStringLiteral("MedicalDB.db"), bank}}) << "科目包无法解压";
        QTest::newRow(qPrintable(m + QString("bad images.zip")))
            << mode << "body"
            << zipBytes({{QStringLiteral("MedicalDB.db"), bank},
                         {QStringLiteral("images.zip"), zipBytes({{QStringLiteral("../images/evil.png"), "evil"}})}})
            << "图片包无法解压";
        QTest::newRow(qPrintable(m + QString("images.zip no zip")))
            << mode << "body" << zipBytes({{QStringLiteral("MedicalDB.db"), bank}, {QStringLiteral("images.zip"), "no zip"}}) << "图片包无法解压";
        QTest::newRow(qPrintable(m + QString("full disk"))) << mode << "full" << QByteArray() << "科目包写入失败";
    }
}

void TestSubjectInstall::faults()
{
    QFETCH(int, mode);
    QFETCH(QString, fault);
    QFETCH(QByteArray, body);
    QFETCH(QString, reason);
    userData();
    PublicData::setValue(QStringLiteral("DownLoadUrl/Url"), earlierAddress);
    const QString dbPath = PublicData::value(QStringLiteral("Data/DBPath"));
    const QStringList before = hashTree(QStringLiteral("data"));
    const qint64 packageSize = QFileInfo(packageZip).size();
    if (fault == QLatin1String("404"))
        service->setStatus(packagePath, 404);
    else if (fault == QLatin1String("drop"))
        service->setCloseAfter(packagePath, packageSize / 2);
    else if (fault == QLatin1String("302"))
        service->setRedirect(packagePath, service->baseUrl() + QStringLiteral("/pkg/elsewhere.zip"));
    else if (fault == QLatin1String("body"))
        service->setBody(packagePath, body);
    if (fault == QLatin1String("plain")) {
        FixtureBank plain(FixtureBank::Form::Plain);
        QVERIFY(plain.open());
        QTemporaryDir dir;
        QString error;
        QVERIFY2(makeSubjectPackage(plain.path(), dir.filePath(QStringLiteral("p.zip")), &error), qPrintable(error));
        service->setBody(packagePath, bytesOf(dir.filePath(QStringLiteral("p.zip"))));
    }

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (fault == QLatin1String("full")) {
        rlimit limit = previous;
        limit.rlim_cur = rlim_t(packageSize / 2);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    start(mode);
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    const bool told = QTest::qWaitFor([] { return !shownMessage().isEmpty(); }, 20000);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(told);
    QCOMPARE(shownMessage(), failureText);

    QCOMPARE(hashTree(QStringLiteral("data")), before);
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), dbPath);
    // Only an address that installed is fetched again at the next start.
    QCOMPARE(PublicData::value(QStringLiteral("DownLoadUrl/Url")), earlierAddress);
    QCOMPARE(installed.count(), 0);
    QCOMPARE(entries(QStringLiteral("IniFilePath")), QStringList());
    // A failed direct download leads to the catalogue.
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("widget_4"))->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("选择科目"));
    QCOMPARE(dialog->size(), QSize(820, 572));
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("下载/选择科目")));
    QTRY_COMPARE(service->requests(cataloguePath).size(), 1);
    QTRY_VERIFY(row());
    QCOMPARE(hashTree(workDir->path()).filter(QStringLiteral("evil")), QStringList());
    QVERIFY(!QFileInfo::exists(QStringLiteral("/abs/evil.txt")));
    // In mode 1 the bar goes on with the catalogue's transfer.
    if (mode == 0)
        QCOMPARE(dialog->findChild<QProgressBar *>()->value(), 0);
    if (mode == 0)
        QCOMPARE(row()->findChild<QPushButton *>(QStringLiteral("pushButton_save"))->text(), QStringLiteral("下载"));
    // The reason goes to the log.
    QVERIFY2(log->contains(reason), qPrintable(log->lines().join(QLatin1Char('\n'))));
    // Not busy any more: leaving asks nothing.
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestSubjectInstall::failsAtOnceWithoutAPackageFile_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("blockFile");
    QTest::newRow("address ends in /") << "<base>/pkg/" << false;
    QTest::newRow("no name before the dot") << "<base>/pkg/.zip" << false;
    QTest::newRow("file cannot be opened") << "<base>/pkg/install_blx.zip" << true;
}

void TestSubjectInstall::failsAtOnceWithoutAPackageFile()
{
    QFETCH(QString, url);
    QFETCH(bool, blockFile);
    userData();
    const QStringList before = hashTree(QStringLiteral("data"));
    if (blockFile) {
        // A folder the clearing cannot remove.
        writeFile(QStringLiteral("IniFilePath/installnew_blx.zip/locked"), "x");
        QVERIFY(QFile::setPermissions(QStringLiteral("IniFilePath/installnew_blx.zip/locked"), {}));
    }
    dialog = new SelectSubjectsDialog;
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    dialog->startSelection(url.replace(QStringLiteral("<base>"), service->baseUrl()), 1);
    dialog->show();
    QCOMPARE(shownMessage(), failureText);
    QCOMPARE(installed.count(), 0);
    QCOMPARE(hashTree(QStringLiteral("data")), before);
    QCOMPARE(PublicData::value(QStringLiteral("Data/DBPath")), QStringLiteral("data/installnew_kq"));
    QVERIFY(PublicData::value(QStringLiteral("DownLoadUrl/Url")).isEmpty());
    // The catalogue instead, no package.
    QTRY_COMPARE(service->requests(cataloguePath).size(), 1);
    QCOMPARE(service->requests().size(), 1);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_exit")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestSubjectInstall::clearDownloadFolder()
{
    for (const char *name : {"a.zip", "b.txt", "notes.txt.bak", ".hidden", "c"})
        writeFile(QStringLiteral("IniFilePath/") + name, "x");
    QVERIFY(QFile::link(QStringLiteral("c"), QStringLiteral("IniFilePath/link")));
    QCOMPARE(SelectSubjectsDialog::clearDownloadFolder(QStringLiteral("IniFilePath")), 0);
    QCOMPARE(entries(QStringLiteral("IniFilePath")), (QStringList{QStringLiteral("b.txt"), QStringLiteral("notes.txt.bak")}));

    // Folders go with their content; an entry that cannot be removed does
    // not stop the clearing.
    QVERIFY(QDir().mkpath(QStringLiteral("IniFilePath/install-Ab12Cd/package/images")));
    writeFile(QStringLiteral("IniFilePath/install-Ab12Cd/package/images/a.png"), "x");
    writeFile(QStringLiteral("IniFilePath/stuck/locked"), "x");
    QVERIFY(QFile::setPermissions(QStringLiteral("IniFilePath/stuck/locked"), {}));
    for (const char *name : {"d.zip", "e.zip", "f.zip"})
        writeFile(QStringLiteral("IniFilePath/") + name, "x");
    QCOMPARE(SelectSubjectsDialog::clearDownloadFolder(QStringLiteral("IniFilePath")), -1);
    QCOMPARE(entries(QStringLiteral("IniFilePath")),
             (QStringList{QStringLiteral("b.txt"), QStringLiteral("notes.txt.bak"), QStringLiteral("stuck")}));
    QCOMPARE(SelectSubjectsDialog::clearDownloadFolder(QStringLiteral("no such folder")), 0);

    // Every start clears the folder.
    QVERIFY(QDir(QStringLiteral("IniFilePath/stuck")).removeRecursively());
    writeFile(QStringLiteral("IniFilePath/d.zip"), "x");
    dialog = new SelectSubjectsDialog;
    service->setDelay(packagePath, 60000);
    dialog->startSelection(service->catalogueLink(QStringLiteral("blx")), 1);
    QVERIFY(!QFileInfo::exists(QStringLiteral("IniFilePath/d.zip")));
    QVERIFY(QFileInfo::exists(QStringLiteral("IniFilePath/b.txt")));
}

void TestSubjectInstall::rewriteOfTheAddress()
{
    // Already "installnew_": fetched as it is, and a.b.zip goes to "data/a".
    service->addPackage(QStringLiteral("a.b"), packageZip, QStringLiteral("甲"));
    dialog = new SelectSubjectsDialog;
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    dialog->startSelection(QString(), 0);
    QTRY_VERIFY(dialog->findChild<QTreeWidget *>()->topLevelItemCount() > 0);
    QVERIFY(QMetaObject::invokeMethod(dialog, "downloadFile", Q_ARG(QString, service->packageUrl(QStringLiteral("a.b"))),
                                      Q_ARG(int, 3)));
    QVERIFY(installed.wait(20000));
    QCOMPARE(installed.at(0).at(0).toString(), QStringLiteral("data/installnew_a"));
    QCOMPARE(PublicData::value(QStringLiteral("DownLoadUrl/Url")), service->packageUrl(QStringLiteral("a.b")));
    QCOMPARE(bytesOf(QStringLiteral("data/installnew_a/MedicalDB.db")), bytesOf(source->filePath()));
    QCOMPARE(service->requests(QStringLiteral("/pkg/installnew_a.b.zip")).size(), 1);
}

void TestSubjectInstall::stagingFoldersGoAtTheStart()
{
    // Left by an installation that the end of the program cut off.
    writeFile(QStringLiteral("IniFilePath/install-Xy12Zq/package/MedicalDB.db"), "x");
    writeFile(QStringLiteral("IniFilePath/install-Xy12Zq/images/images/a.png"), "x");
    writeFile(QStringLiteral("IniFilePath/installnew_blx.zip"), "x");
    writeFile(QStringLiteral("IniFilePath/notes.txt"), "x");
    SelectSubjectsDialog::removeStagingFolders();
    QCOMPARE(entries(QStringLiteral("IniFilePath")),
             (QStringList{QStringLiteral("installnew_blx.zip"), QStringLiteral("notes.txt")}));
}

void TestSubjectInstall::serveWithImages(const QList<TestZipEntry> &images)
{
    service->setBody(packagePath, zipBytes({{QStringLiteral("MedicalDB.db"), bytesOf(source->filePath())},
                                            {QStringLiteral("images.zip"), zipBytes(images)}}));
}

void TestSubjectInstall::failedInstallKeepsAnExistingSubject_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("bank fails its check") << "bank" << "题库不可用";
    QTest::newRow("images cannot be put in") << "images" << "复制图片失败";
    QTest::newRow("bank cannot be put in") << "swap" << "题库无法放入科目目录";
}

void TestSubjectInstall::failedInstallKeepsAnExistingSubject()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    // The subject is there already, with the user's bank and images.
    FixtureBank mine;
    mine.addSql(QStringLiteral("UPDATE sysConfig SET value = 'mine' WHERE key = 'bankVersion';"));
    QVERIFY(mine.open());
    writeFile(QStringLiteral("data/installnew_blx/MedicalDB.db"), bytesOf(mine.filePath()));
    writeFile(QStringLiteral("data/installnew_blx/images/mine.png"), "the user's image");
    writeFile(QStringLiteral("data/installnew_blx/images/shared.png"), "the user's version");
    const QList<TestZipEntry> images{{QStringLiteral("images/"), QByteArray()},
                                     {QStringLiteral("images/shared.png"), "the package's version"},
                                     {QStringLiteral("images/new.png"), "new"}};
    if (fault == QLatin1String("bank")) {
        service->setBody(packagePath, zipBytes({{QStringLiteral("MedicalDB.db"), QByteArray(16384, 'g')},
                                                {QStringLiteral("images.zip"), zipBytes(images)}}));
    } else {
        serveWithImages(images);
        // A folder where a file of the package's goes, or where the new bank is staged.
        writeFile(fault == QLatin1String("images") ? QStringLiteral("data/installnew_blx/images/new.png/x")
                                                   : QStringLiteral("data/installnew_blx/MedicalDB.db.new/x"),
                  "x");
    }
    const QStringList before = hashTree(QStringLiteral("data"));
    // Its row offers "学习": the package is asked for as a download would.
    dialog = new SelectSubjectsDialog;
    dialog->startSelection(QString(), 0);
    QTRY_VERIFY(row());
    QVERIFY(row()->isInstalled());
    QVERIFY(QMetaObject::invokeMethod(dialog, "downloadFile", Q_ARG(QString, service->catalogueLink(QStringLiteral("blx"))),
                                      Q_ARG(int, 3)));
    QVERIFY(QTest::qWaitFor([] { return !shownMessage().isEmpty(); }, 20000));
    QCOMPARE(shownMessage(), failureText);
    QVERIFY2(log->contains(reason), qPrintable(log->lines().join(QLatin1Char('\n'))));
    QCOMPARE(hashTree(QStringLiteral("data")), before);
    QCOMPARE(entries(QStringLiteral("IniFilePath")), QStringList());
}

void TestSubjectInstall::bombIsRefusedBeforeWriting_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("catalogue") << 0;
    QTest::newRow("direct download") << 1;
}

void TestSubjectInstall::bombIsRefusedBeforeWriting()
{
    QFETCH(int, mode);
    userData();
    // A few kilobytes that say they unpack to 3 GiB.
    serveWithImages({{QStringLiteral("images/"), QByteArray()},
                     {QStringLiteral("images/bomb.png"), QByteArray(4000, 'b'), false, qint64(3) << 30}});
    const QStringList before = hashTree(QStringLiteral("data"));
    start(mode);
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    QVERIFY(QTest::qWaitFor([] { return !shownMessage().isEmpty(); }, 20000));
    QCOMPARE(shownMessage(), tooLargeText);
    QVERIFY2(log->contains(QStringLiteral("上限")), qPrintable(log->lines().join(QLatin1Char('\n'))));
    QCOMPARE(installed.count(), 0);
    QCOMPARE(hashTree(QStringLiteral("data")), before);
    QCOMPARE(hashTree(workDir->path()).filter(QStringLiteral("bomb")), QStringList());
    QCOMPARE(entries(QStringLiteral("IniFilePath")), QStringList());
}

void TestSubjectInstall::unpackingShowsItsProgress()
{
    QList<TestZipEntry> images{{QStringLiteral("images/"), QByteArray()}};
    for (int i = 0; i < 8; ++i)
        images.append({QStringLiteral("images/big%1.png").arg(i), QByteArray(1 << 20, char('a' + i))});
    serveWithImages(images);
    start(1);
    auto *bar = dialog->findChild<QProgressBar *>();
    QList<int> shown;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        if (bar->maximum() == 100)
            shown << value;
    });
    QSignalSpy installed(dialog.data(), &SelectSubjectsDialog::sendCurrentDBPath);
    QVERIFY(installed.wait(30000));
    // Steps of the unpacking between the fixed marks: the window was live.
    const auto between = std::count_if(shown.begin(), shown.end(),
                                       [](int value) { return value > 50 && value < 80; });
    QVERIFY2(between > 0, qPrintable(QStringLiteral("%1").arg(shown.size())));
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QCOMPARE(bytesOf(QStringLiteral("data/images/big7.png")), QByteArray(1 << 20, 'h'));
}

void TestSubjectInstall::closingWhileUnpacking()
{
    userData();
    QList<TestZipEntry> images{{QStringLiteral("images/"), QByteArray()}};
    for (int i = 0; i < 40; ++i)
        images.append({QStringLiteral("images/big%1.png").arg(i), QByteArray(1 << 20, char('a' + i % 26))});
    serveWithImages(images);
    const QStringList before = hashTree(QStringLiteral("data"));
    start(1);
    auto *bar = dialog->findChild<QProgressBar *>();
    QVERIFY(QTest::qWaitFor([&] { return bar->maximum() == 100 && bar->value() > 10; }, 30000));
    delete dialog;
    QCOMPARE(hashTree(QStringLiteral("data")), before);
    QCOMPARE(entries(QStringLiteral("IniFilePath")).filter(QStringLiteral("install-")), QStringList());
}

QTEST_MAIN(TestSubjectInstall)
#include "tst_subjectinstall.moc"
