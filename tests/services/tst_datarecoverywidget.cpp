// The data repair against the local web service: a user's bank merged with a
// changed package and swapped in, the request it sends, and every way it can
// fail leaving the user's files byte-identical and the store on the live bank.
#include "FixtureBank.h"
#include "DataRecoveryWidget.h"
#include "LocalWebService.h"
#include "LogCapture.h"
#include "Resources.h"
#include "Skin.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SubjectPackage.h"
#include "TempWorkDir.h"
#include "TestZip.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

const QString addressPath = QStringLiteral("/mobi/verDb.php");
const QString packagePath = QStringLiteral("/pkg/installnew_blx.zip");
const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QString bankFile = QStringLiteral("data/MedicalDB.db");
const QString backupFile = QStringLiteral("data/BKMedicalDB.db");

// The package's bank: one question gone, one new, one text changed, a new
// image, and none of anybody's work.
const QString newBankChanges = QStringLiteral(
    "DELETE FROM tQue WHERE queId = 1009;"
    "INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime, userStatus)"
    " VALUES (1030, 101, '新增的题目', 'C', NULL, '0', 2, 'T1030', '2024-01-01 00:00:00', '0');"
    "UPDATE tQue SET queText = '慢性阻塞性肺疾病最主要的危险因素是（新版）' WHERE queId = 1001;"
    "UPDATE tQue SET userStatus = '0', userAnswer = NULL, userTime = NULL, userFav = '0', userNote = NULL;"
    "DELETE FROM tQueLog;"
    "DELETE FROM ConfigTable;"
    "UPDATE sysConfig SET value = 'pkg' WHERE key = 'bankVersion';");

// The user's bank: the fixture's answers, favourites, notes, exam date and
// exam records, a note of the user's own, and a table that makes it larger
// than the package (for the full disk during the work copy).
const QString userWork = QStringLiteral(
    "UPDATE tQue SET userNote = '我的笔记', userFav = '1' WHERE queId = 1002;"
    "CREATE TABLE userPadding (b BLOB);"
    "INSERT INTO userPadding VALUES (randomblob(800000));");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
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

QByteArray packageOf(FixtureBank &bank)
{
    if (!bank.open()) {
        qWarning("%s", qPrintable(bank.error()));
        return QByteArray();
    }
    QTemporaryDir dir;
    QString error;
    if (!makeSubjectPackage(bank.path(), dir.filePath(QStringLiteral("p.zip")), &error))
        qWarning("%s", qPrintable(error));
    return bytesOf(dir.filePath(QStringLiteral("p.zip")));
}

// Every text label_text shows once the event that set it has been handled.
class StatusRecorder : public QObject
{
public:
    StatusRecorder(QLabel *label, QProgressBar *bar)
        : label(label), bar(bar)
    {
        qApp->installEventFilter(this);
    }
    ~StatusRecorder() override { stop(); }
    // Before the widgets go: a filter would see them half destroyed.
    void stop() { qApp->removeEventFilter(this); }

    QStringList texts;
    QList<int> values;

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        if (texts.isEmpty() || texts.last() != label->text())
            texts << label->text();
        if (values.isEmpty() || values.last() != bar->value())
            values << bar->value();
        return false;
    }

private:
    QLabel *label;
    QProgressBar *bar;
};

} // namespace

class TestDataRecoveryWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form();
    void skin_data();
    void skin();
    void repairs_data();
    void repairs();
    void addressQuery_data();
    void addressQuery();
    void faults_data();
    void faults();
    void secondClickWhileTheRequestIsOut();
    void noClosingDuringTheMerge();
    void retryClearsTheWorkFolderFirst();
    void earlierRepairsBankKeptWhileTheBankIsDamaged();
    void statusWithoutADotGetsThePercentage();

private:
    void openDialog();
    void click();
    QPushButton *startButton() const;
    QString status() const;
    QProgressBar *bar() const;
    // Waits until the run has ended in failure.
    bool waitForFailure();

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<LocalWebService> service;
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<FixtureBank> user;
    std::unique_ptr<FixtureBank> fresh;
    QTemporaryDir packages;
    QString packageZip;
    QByteArray userBytes;
    QPointer<DataRecoveryWidget> dialog;
};

void TestDataRecoveryWidget::initTestCase()
{
    initResources();
    user = std::make_unique<FixtureBank>();
    user->addSql(userWork);
    QVERIFY2(user->open(), qPrintable(user->error()));
    fresh = std::make_unique<FixtureBank>();
    fresh->addSql(newBankChanges).addImage(QStringLiteral("new.png"), 60);
    QVERIFY2(fresh->open(), qPrintable(fresh->error()));
    packageZip = packages.filePath(QStringLiteral("blx.zip"));
    QString error;
    QVERIFY2(makeSubjectPackage(fresh->path(), packageZip, &error), qPrintable(error));
    QVERIFY(QFileInfo(user->filePath()).size() > QFileInfo(packageZip).size() + 200000);
}

void TestDataRecoveryWidget::init()
{
    workDir = std::make_unique<TempWorkDir>("[Data]\nDBPath=data\n");
    QVERIFY(copyTree(user->path(), QStringLiteral("data")));
    userBytes = bytesOf(bankFile);
    QCOMPARE(SqliteClass::instance()->openDatabase(QStringLiteral("data"), phrase, 0), 2);
    service = std::make_unique<LocalWebService>();
    QVERIFY(service->listen());
    qputenv("VELMORA_SERVICE_HOST", service->host().toUtf8());
    // The keys of the fixture bank (sysTypeGoods "A", sysTypeISN "1101").
    service->addPackage(QStringLiteral("blx"), packageZip, QStringLiteral("病理学"), QStringLiteral("A"),
                        QStringLiteral("10"));
    log = std::make_unique<LogCapture>();
}

void TestDataRecoveryWidget::cleanup()
{
    delete dialog;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete SqliteClass::instance();
    log.reset();
    service.reset();
    workDir.reset();
}

void TestDataRecoveryWidget::openDialog()
{
    dialog = new DataRecoveryWidget;
    dialog->setSkinColor(QStringLiteral("80,153,2,255"));
    dialog->show();
}

void TestDataRecoveryWidget::click()
{
    QTest::mouseClick(startButton(), Qt::LeftButton);
}

QPushButton *TestDataRecoveryWidget::startButton() const
{
    return dialog->findChild<QPushButton *>(QStringLiteral("pushButton_startdatarecovery"));
}

QString TestDataRecoveryWidget::status() const
{
    return dialog->findChild<QLabel *>(QStringLiteral("label_text"))->text();
}

QProgressBar *TestDataRecoveryWidget::bar() const
{
    return dialog->findChild<QProgressBar *>(QStringLiteral("progressBar"));
}

bool TestDataRecoveryWidget::waitForFailure()
{
    return QTest::qWaitFor([this] { return startButton()->text() == QStringLiteral("重新尝试"); }, 30000);
}

void TestDataRecoveryWidget::form()
{
    openDialog();
    QCOMPARE(dialog->size(), QSize(477, 324));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("数据修复"));
    QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask,
             Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    QVERIFY(dialog->isModal());
    QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(startButton()->text(), QStringLiteral("开始修复"));
    QCOMPARE(status(), QStringLiteral("数据修复后程序会自动重启,刷新数据."));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label_tip"))->text(),
             QStringLiteral("提示：数据修复中,请不要关闭程序,请等待..."));
    QCOMPARE(bar()->value(), 0);
    QVERIFY(!bar()->isTextVisible());
    // Opening asks nothing of the service.
    QVERIFY(service->requests().isEmpty());
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestDataRecoveryWidget::skin_data()
{
    QTest::addColumn<QString>("skin");
    QTest::newRow("none") << QString();
    QTest::newRow("pink") << QStringLiteral("255,127,167,255");
}

void TestDataRecoveryWidget::skin()
{
    QFETCH(QString, skin);
    dialog = new DataRecoveryWidget;
    const QString buttonForm = startButton()->styleSheet();
    const QString barForm = bar()->styleSheet();
    dialog->setSkinColor(skin);
    if (skin.isEmpty()) {
        QCOMPARE(startButton()->styleSheet(), buttonForm);
        QCOMPARE(bar()->styleSheet(), barForm);
        QVERIFY(buttonForm.contains(QStringLiteral("95, 183, 3")));
        return;
    }
    QCOMPARE(startButton()->styleSheet(), skinButtonStyle(skin));
    QCOMPARE(bar()->styleSheet(),
             QStringLiteral("QProgressBar{ border:none; background-color: rgb(230, 230, 230); text-align:center;}"
                            " QProgressBar::chunk { background-color: rgb(255,127,167,255);}"));
}

void TestDataRecoveryWidget::repairs_data()
{
    QTest::addColumn<bool>("withBackup");
    QTest::newRow("with the user's backup") << true;
    QTest::newRow("without a backup") << false;
}

void TestDataRecoveryWidget::repairs()
{
    QFETCH(bool, withBackup);
    if (withBackup) {
        FixtureBank older;
        older.addSql(QStringLiteral("UPDATE sysConfig SET value = 'backup' WHERE key = 'bankVersion';"));
        QVERIFY(older.open());
        QVERIFY(QFile::copy(older.filePath(), backupFile));
    }
    const QByteArray backupBytes = bytesOf(backupFile);
    QStringList mergeTexts;
    connect(SqliteClass::instance(), &SqliteClass::sendCopyTable, this,
            [&mergeTexts](int, int, const QString &text) { mergeTexts << text; });

    openDialog();
    StatusRecorder recorder(dialog->findChild<QLabel *>(QStringLiteral("label_text")), bar());
    QSignalSpy repaired(dialog.data(), &DataRecoveryWidget::sendDataRecovery);
    click();
    QVERIFY(repaired.wait(30000));
    recorder.stop();
    QCOMPARE(repaired.count(), 1);
    QCOMPARE(startButton()->text(), QStringLiteral("关闭"));
    QCOMPARE(status(), QStringLiteral("数据修复完成."));

    const QList<LocalWebService::Request> asked = service->requests(addressPath);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().rawQuery, QByteArray("dir1=A&dir2=10"));
    QCOMPARE(service->requests(packagePath).size(), 1);

    // The texts in order.
    QStringList steps;
    for (const QString &text : recorder.texts) {
        const QString step = text.section(QLatin1Char('.'), 0, 0);
        if (steps.isEmpty() || steps.last() != step)
            steps << step;
    }
    const QStringList wanted{QStringLiteral("正在下载db数据包"), mergeTexts.first().section(QLatin1Char('.'), 0, 0),
                             mergeTexts.last().section(QLatin1Char('.'), 0, 0)};
    int at = -1;
    for (const QString &step : wanted) {
        const int found = steps.indexOf(step, at + 1);
        QVERIFY2(found > at, qPrintable(step + QStringLiteral(" in ") + steps.join(QLatin1Char('|'))));
        at = found;
    }
    // The bar went to the package's size with the download, then moved with the merge.
    const int downloaded = recorder.values.indexOf(int(QFileInfo(packageZip).size()));
    QVERIFY(downloaded >= 0);
    QVERIFY(recorder.values.size() > downloaded + 2);

    // The merged bank, with the store open on it.
    QVERIFY(QSqlDatabase::database().isOpen());
    QCOMPARE(sqlRow(QStringLiteral("select value from sysConfig where key = 'bankVersion'")),
             QStringList{QStringLiteral("pkg")});
    QCOMPARE(sqlRow(QStringLiteral("select queText, userStatus, userAnswer, userFav, userNote, userTime"
                                   " from tQue where queId = 1001")),
             (QStringList{QStringLiteral("慢性阻塞性肺疾病最主要的危险因素是（新版）"), QStringLiteral("1"),
                          QStringLiteral("B"), QStringLiteral("1"), QStringLiteral("It's 100% sure_1"),
                          QStringLiteral("2015-09-30 23:59:59")}));
    QCOMPARE(sqlRow(QStringLiteral("select userStatus, userAnswer, userFav, userNote from tQue where queId = 1002")),
             (QStringList{QStringLiteral("2"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("我的笔记")}));
    QCOMPARE(sqlRow(QStringLiteral("select IsDel from tQue where queId = 1009")), QStringList{QStringLiteral("1")});
    QCOMPARE(sqlRow(QStringLiteral("select queText from tQue where queId = 1030")),
             QStringList{QStringLiteral("新增的题目")});
    QCOMPARE(sqlRow(QStringLiteral("select V1 from ConfigTable where Key = 'ExamTime'")),
             QStringList{QStringLiteral("2016-09-10")});
    QCOMPARE(sqlRow(QStringLiteral("select V3 from ConfigTable where Key = '2'")),
             QStringList{QStringLiteral("<p>机考报告</p>")});
    QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog")), 5);
    QCOMPARE(bytesOf(QStringLiteral("data/images/new.png")), bytesOf(fresh->imagesDir() + QStringLiteral("/new.png")));
    QCOMPARE(bytesOf(QStringLiteral("data/images/img50.png")), bytesOf(user->imagesDir() + QStringLiteral("/img50.png")));

    // The user's backup untouched, the bank as it was kept in the work folder.
    QCOMPARE(bytesOf(backupFile), backupBytes);
    QCOMPARE(QFileInfo::exists(backupFile), withBackup);
    QCOMPARE(bytesOf(QStringLiteral("DataRecovery/OldMedicalDB.db")), userBytes);
    QVERIFY(log->contains(QStringLiteral("开始备份数据")));

    // A write goes to the merged bank.
    QCOMPARE(SqliteClass::instance()->saveNote(1030, QStringLiteral("新题笔记")), 0);
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1030")),
             QStringList{QStringLiteral("新题笔记")});

    // "关闭" closes.
    click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestDataRecoveryWidget::addressQuery_data()
{
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("isn");
    QTest::addColumn<QString>("dir1");
    QTest::addColumn<QString>("dir2");
    QTest::newRow("empty") << "A" << "" << "A" << "";
    QTest::newRow("two characters") << "A" << "12" << "A" << "";
    QTest::newRow("three characters") << "A" << "123" << "A" << "2";
    QTest::newRow("four characters") << "A" << "1101" << "A" << "10";
    QTest::newRow("query characters stay values") << "甲 乙+丙" << "x&y=z#" << "甲 乙+丙" << "&y=z";
}

void TestDataRecoveryWidget::addressQuery()
{
    QFETCH(QString, goods);
    QFETCH(QString, isn);
    QFETCH(QString, dir1);
    QFETCH(QString, dir2);
    SqliteClass *store = SqliteClass::instance();
    QCOMPARE(store->updateSysConfig(QStringLiteral("sysTypeGoods"), goods), 0);
    QCOMPARE(store->updateSysConfig(QStringLiteral("sysTypeISN"), isn), 0);
    service->setBody(addressPath, QByteArray());
    openDialog();
    click();
    QTRY_COMPARE(status(), QStringLiteral("没有获取到Json文件信息."));
    const QList<LocalWebService::Request> asked = service->requests(addressPath);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().queryNames(), (QStringList{QStringLiteral("dir1"), QStringLiteral("dir2")}));
    QCOMPARE(asked.first().queryValue(QStringLiteral("dir1")), dir1);
    QCOMPARE(asked.first().queryValue(QStringLiteral("dir2")), dir2);
}

void TestDataRecoveryWidget::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text"); // "^" starts a pattern
    QTest::addColumn<QString>("logged");

    const QByteArray bank = bytesOf(fresh->filePath());
    const QByteArray images = zipBytes({{QStringLiteral("images/"), QByteArray()}, {QStringLiteral("images/x.png"), "x"}});
    const QString noFile = QStringLiteral("[Error]open:[DataRecovery/] fail.");
    QTest::newRow("empty reply") << "body" << addressPath << QByteArray() << "没有获取到Json文件信息." << "";
    QTest::newRow("a JSON array") << "body" << addressPath << QByteArray("[1]") << noFile << "";
    QTest::newRow("a number for downlink") << "body" << addressPath << QByteArray("{\"downlink\":5}") << noFile << "";
    QTest::newRow("no JSON") << "body" << addressPath << QByteArray("<html>维护中</html>") << noFile << "";
    QTest::newRow("404") << "status" << packagePath << QByteArray() << "网络连接错误:203" << "";
    QTest::newRow("drop mid-body") << "drop" << packagePath << QByteArray() << "^网络连接错误:\\d+$" << "";
    QTest::newRow("HTML body") << "body" << packagePath << QByteArray("<html><body>维护中</body></html>")
                               << "解压zip包失败." << "no zip archive";
    QTest::newRow("../x in the package")
        << "body" << packagePath
        << zipBytes({{QStringLiteral("MedicalDB.db"), bank}, {QStringLiteral("../x"), "evil"}})
        << "解压zip包失败." << "leaves its folder";
    QTest::newRow("../x in images.zip")
        << "body" << packagePath
        << zipBytes({{QStringLiteral("MedicalDB.db"), bank},
                     {QStringLiteral("images.zip"), zipBytes({{QStringLiteral("../images/x.png"), "evil"}})}})
        << "解压zip包失败." << "leaves its folder";
    // A few kilobytes that say they unpack to 3 GiB: refused before writing.
    QTest::newRow("a bomb in images.zip")
        << "body" << packagePath
        << zipBytes({{QStringLiteral("MedicalDB.db"), bank},
                     {QStringLiteral("images.zip"),
                      zipBytes({{QStringLiteral("images/x.png"), QByteArray(4000, 'b'), false, qint64(3) << 30}})}})
        << "科目包过大或磁盘空间不足,无法修复." << "上限";
    QTest::newRow("no bank in the package")
        << "body" << packagePath << zipBytes({{QStringLiteral("images.zip"), images}}) << "解压zip包失败."
        << "缺少";
    QTest::newRow("package bank fails the check")
        << "body" << packagePath
        << zipBytes({{QStringLiteral("MedicalDB.db"), QByteArray(16384, 'g')}, {QStringLiteral("images.zip"), images}})
        << "解压zip包失败." << "quick_check";
    FixtureBank noSettings;
    noSettings.addSql(QStringLiteral("DROP TABLE sysConfig;"));
    QTest::newRow("merge fails") << "body" << packagePath << packageOf(noSettings) << "数据合并失败."
                                 << "数据合并失败:";
    QTest::newRow("images cannot be copied") << "images" << QString() << QByteArray() << "拷贝覆盖图片失败."
                                             << "不是图片文件夹";
    // Something in the way of the old bank's place in the work folder.
    QTest::newRow("merged bank cannot be put in") << "swap" << QString() << QByteArray() << "替换数据库失败."
                                                  << "OldMedicalDB.db";
    QTest::newRow("full disk during the work copy") << "full" << QString() << QByteArray() << "备份数据库失败."
                                                    << "MergedMedicalDB.db";
}

void TestDataRecoveryWidget::faults()
{
    QFETCH(QString, fault);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(QString, logged);
    FixtureBank older;
    QVERIFY(older.open());
    QVERIFY(QFile::copy(older.filePath(), backupFile));
    const QByteArray backupBytes = bytesOf(backupFile);
    if (fault == QLatin1String("body"))
        service->setBody(path, body);
    else if (fault == QLatin1String("status"))
        service->setStatus(path, 404);
    else if (fault == QLatin1String("drop"))
        service->setCloseAfter(path, QFileInfo(packageZip).size() / 2);
    else if (fault == QLatin1String("images")) {
        // A file where the images folder goes.
        QVERIFY(QDir(QStringLiteral("data/images")).removeRecursively());
        QFile file(QStringLiteral("data/images"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (fault == QLatin1String("swap"))
        connect(SqliteClass::instance(), &SqliteClass::sendCopyTable, this,
                [] { QDir().mkpath(QStringLiteral("DataRecovery/OldMedicalDB.db/x")); }, Qt::DirectConnection);
    const QStringList imagesBefore = QDir(QStringLiteral("data/images")).entryList(QDir::Files);
    const QByteArray imageBefore = bytesOf(QStringLiteral("data/images/img50.png"));

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (fault == QLatin1String("full")) {
        // Room for the package and what it holds, not for a copy of the bank.
        rlimit limit = previous;
        limit.rlim_cur = rlim_t((QFileInfo(packageZip).size() + userBytes.size()) / 2);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    openDialog();
    QSignalSpy repaired(dialog.data(), &DataRecoveryWidget::sendDataRecovery);
    click();
    const bool failed = waitForFailure();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY2(failed, qPrintable(status()));

    if (text.startsWith(QLatin1Char('^'))) {
        QVERIFY2(QRegularExpression(text).match(status()).hasMatch(), qPrintable(status()));
    } else {
        QCOMPARE(status(), text);
    }
    if (!logged.isEmpty())
        QVERIFY2(log->contains(logged), qPrintable(log->lines().join(QLatin1Char('\n'))));
    QCOMPARE(repaired.count(), 0);
    QCOMPARE(bytesOf(bankFile), userBytes);
    QCOMPARE(bytesOf(backupFile), backupBytes);
    // The images as they were, only the user's.
    QCOMPARE(QDir(QStringLiteral("data/images")).entryList(QDir::Files), imagesBefore);
    QCOMPARE(bytesOf(QStringLiteral("data/images/img50.png")), imageBefore);
    QCOMPARE(QDir(QStringLiteral("data")).entryList({QStringLiteral("images.*")}, QDir::AllEntries), QStringList());
    QVERIFY(!QFileInfo::exists(QStringLiteral("x")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("DataRecovery/x")));

    // The store still works on the live bank.
    QCOMPARE(sqlRow(QStringLiteral("select value from sysConfig where key = 'bankVersion'")),
             QStringList{QStringLiteral("20150930")});
    QCOMPARE(SqliteClass::instance()->saveNote(1003, QStringLiteral("修复失败之后")), 0);
    QCOMPARE(sqlRow(QStringLiteral("select userNote from tQue where queId = 1003")),
             QStringList{QStringLiteral("修复失败之后")});

    // State 0: the next click asks for the address again.
    const int asked = service->requests(addressPath).size();
    QCOMPARE(asked, 1);
    service->setDelay(addressPath, 60000);
    click();
    QTRY_COMPARE(service->requests(addressPath).size(), 2);
    QVERIFY(dialog->isVisible());
}

void TestDataRecoveryWidget::secondClickWhileTheRequestIsOut()
{
    service->setDelay(addressPath, 400);
    service->setBody(addressPath, QByteArray());
    openDialog();
    click();
    QTRY_COMPARE(service->requests(addressPath).size(), 1);
    click();
    click();
    QTRY_COMPARE(status(), QStringLiteral("没有获取到Json文件信息."));
    QCOMPARE(service->requests(addressPath).size(), 1);
    QVERIFY(dialog->isVisible());
}

void TestDataRecoveryWidget::noClosingDuringTheMerge()
{
    // The merge waits at its first step until the dialog has been tried.
    QSemaphore entered;
    QSemaphore go;
    QObject gate;
    bool first = true;
    connect(SqliteClass::instance(), &SqliteClass::sendCopyTable, &gate,
            [&](int, int, const QString &) {
                if (!first)
                    return;
                first = false;
                entered.release();
                go.acquire();
            },
            Qt::DirectConnection);
    openDialog();
    QSignalSpy repaired(dialog.data(), &DataRecoveryWidget::sendDataRecovery);
    click();
    QVERIFY(QTest::qWaitFor([&entered] { return entered.tryAcquire(); }, 30000));
    QCOMPARE(startButton()->text(), QStringLiteral("放弃修复"));

    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    click();
    QTest::keyClick(dialog.data(), Qt::Key_Escape);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());

    go.release();
    QVERIFY(repaired.wait(30000));
    QCOMPARE(status(), QStringLiteral("数据修复完成."));
    // Closing works again.
    QTest::keyClick(dialog.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void TestDataRecoveryWidget::retryClearsTheWorkFolderFirst()
{
    service->setStatus(packagePath, 404);
    openDialog();
    QSignalSpy repaired(dialog.data(), &DataRecoveryWidget::sendDataRecovery);
    click();
    QVERIFY(waitForFailure());
    QCOMPARE(status(), QStringLiteral("网络连接错误:203"));
    QFile marker(QStringLiteral("DataRecovery/left.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();

    service->reset();
    bool markerAtDownload = true;
    bool folderAtDownload = false;
    connect(service.get(), &LocalWebService::requestReceived, this, [&](const QString &path) {
        if (path != packagePath)
            return;
        markerAtDownload = QFileInfo::exists(QStringLiteral("DataRecovery/left.txt"));
        folderAtDownload = QFileInfo(QStringLiteral("DataRecovery")).isDir();
    });
    click();
    QVERIFY(repaired.wait(30000));
    QCOMPARE(service->requests(addressPath).size(), 1);
    QVERIFY(!markerAtDownload);
    QVERIFY(folderAtDownload);
    QVERIFY(!QFileInfo::exists(QStringLiteral("DataRecovery/left.txt")));
}

void TestDataRecoveryWidget::earlierRepairsBankKeptWhileTheBankIsDamaged()
{
    // A sound bank left by an earlier repair, and a damaged bank in place.
    QVERIFY(QDir().mkdir(QStringLiteral("DataRecovery")));
    QVERIFY(QFile::copy(bankFile, QStringLiteral("DataRecovery/OldMedicalDB.db")));
    {
        QFile bank(bankFile);
        QVERIFY(bank.open(QIODevice::ReadWrite));
        QVERIFY(bank.seek(bank.size() / 2));
        QVERIFY(bank.write(QByteArray(int(bank.size() / 2), 'x')) > 0);
    }
    openDialog();
    click();
    QVERIFY(waitForFailure());
    const QStringList kept = QDir(QStringLiteral("data")).entryList({QStringLiteral("MedicalDB.db.*.bak")});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(bytesOf(QStringLiteral("data/") + kept.first()), userBytes);
}

void TestDataRecoveryWidget::statusWithoutADotGetsThePercentage()
{
    // A request that hangs keeps "正在获取json." while its progress comes in;
    // a text without "." gets one before the percentage.
    service->setDelay(addressPath, 60000);
    openDialog();
    click();
    QTRY_COMPARE(service->requests(addressPath).size(), 1);
    QCOMPARE(status(), QStringLiteral("正在获取json."));
    auto *label = dialog->findChild<QLabel *>(QStringLiteral("label_text"));
    QVERIFY(QMetaObject::invokeMethod(dialog, "receiveUpdateDataProgress", Q_ARG(qlonglong, 45),
                                      Q_ARG(qlonglong, 100)));
    QCOMPARE(status(), QStringLiteral("正在获取json.45%"));
    label->setText(QStringLiteral("没有句点"));
    QVERIFY(QMetaObject::invokeMethod(dialog, "receiveUpdateDataProgress", Q_ARG(qlonglong, 1),
                                      Q_ARG(qlonglong, 4)));
    QCOMPARE(status(), QStringLiteral("没有句点.25%"));
    QCOMPARE(bar()->maximum(), 4);
    QCOMPARE(bar()->value(), 1);
}

QTEST_MAIN(TestDataRecoveryWidget)
#include "tst_datarecoverywidget.moc"
