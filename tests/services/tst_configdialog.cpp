// The backup dialog on a fixture bank: what the user sees, and that no
// failure costs the live bank or the old backup.
#include "ConfigDialog.h"

#include "ChineseDesktop.h"
#include "ChoiceDialog.h"
#include "DialogAnswerer.h"
#include "FileSizeLimit.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QString noBackupYet = QStringLiteral("您还未备份数据库");
const QString backedUp = QStringLiteral("您已备份成功! ");
const QString backupFailed = QStringLiteral("备份失败!");
const QString noBackupFile = QStringLiteral("您还没有备份文件");
const QString restoreFailed = QStringLiteral("还原失败");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QList<ChoiceDialog *> shownConfirmations()
{
    QList<ChoiceDialog *> shown;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *widget : all)
        if (auto *choice = qobject_cast<ChoiceDialog *>(widget); choice && choice->isVisible())
            shown << choice;
    return shown;
}

} // namespace

class TestConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formAndFlags();
    void opening_data();
    void opening();
    void backup();
    void backupUnderFullDiskKeepsTheOldBackup();
    void backupsWhileAnswersAreRecorded();
    void restore();
    void restoreDeclined_data();
    void restoreDeclined();
    void restoreWithoutBackup();
    void restoreRefused_data();
    void restoreRefused();
    void restoreReopensTheSubject_data();
    void restoreReopensTheSubject();
    void closeButton();

private:
    void openDialog();
    void click(const char *button);
    QString text() const { return dialog->findChild<QLabel *>(QStringLiteral("label_text"))->text(); }
    QString backupPath() const { return bank->path() + QStringLiteral("/BKMedicalDB.db"); }
    // The answer of question 1001 as the store reads it.
    QString answer() const { return sqlRow(QStringLiteral("select userAnswer from tQue where queId = 1001")).value(0); }
    // Reads and writes through the store on the live bank.
    void storeWorks();
    // Asks for the restore and answers the confirmation with the button.
    void answerRestore(const QString &button);

    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<FixtureBank> bank;
    SqliteClass *store = nullptr;
    QPointer<ConfigDialog> dialog;
};

void TestConfigDialog::initTestCase()
{
    initResources();
    ChineseDesktop::apply();
}

void TestConfigDialog::init()
{
    work = std::make_unique<TempWorkDir>();
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    store = SqliteClass::instance();
    QCOMPARE(store->openDatabase(bank->path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
}

void TestConfigDialog::cleanup()
{
    for (ChoiceDialog *choice : shownConfirmations())
        delete choice;
    delete dialog;
    delete store;
    store = nullptr;
    bank.reset();
    work.reset();
}

void TestConfigDialog::openDialog()
{
    dialog = new ConfigDialog;
    dialog->setSkinColor(QStringLiteral("255,127,167,255"));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

void TestConfigDialog::click(const char *button)
{
    auto *widget = dialog->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TestConfigDialog::storeWorks()
{
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("E"), QStringLiteral("2"), QStringLiteral("001")), 0);
    QCOMPARE(answer(), QStringLiteral("E"));
    QVERIFY(store->questionCount() > 0);
}

void TestConfigDialog::answerRestore(const QString &button)
{
    DialogAnswerer answerer([&](QWidget *window) {
        auto *choice = qobject_cast<ChoiceDialog *>(window);
        QVERIFY(choice);
        QVERIFY(choice->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("提示")));
        QCOMPARE(choice->findChild<QLabel *>(QStringLiteral("label_message"))->text(),
                 QStringLiteral("您确定要把备份还原吗？"));
        QVERIFY(DialogAnswerer::clickButton(choice, button));
    });
    click("pushButton_Reduction");
    QVERIFY(answerer.wait());
    QTRY_VERIFY(shownConfirmations().isEmpty());
}

void TestConfigDialog::formAndFlags()
{
    openDialog();
    QCOMPARE(dialog->size(), QSize(477, 259));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("数据备份还原"));
    QCOMPARE(dialog->windowFlags() & ~Qt::WindowType_Mask,
             Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    QVERIFY(dialog->isModal());
    QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("label_title"))->text().contains(QStringLiteral("数据备份/还原")));
    for (const char *name : {"pushButton_databk", "pushButton_Reduction", "pushButton"})
        QCOMPARE(dialog->findChild<QPushButton *>(QLatin1String(name))->text(), QString());
}

void TestConfigDialog::opening_data()
{
    QTest::addColumn<bool>("withBackup");
    QTest::newRow("no backup") << false;
    QTest::newRow("a backup") << true;
}

void TestConfigDialog::opening()
{
    QFETCH(bool, withBackup);
    QString expected = noBackupYet;
    if (withBackup) {
        QVERIFY(writeBytes(backupPath(), "an older backup"));
        const QDateTime when(QDate(2025, 3, 14), QTime(9, 26, 53));
        QFile file(backupPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
        file.close();
        expected = QStringLiteral("2025年3月14日 星期五 09:26:53");
    }
    openDialog();
    QCOMPARE(text(), expected);
}

void TestConfigDialog::backup()
{
    openDialog();
    click("pushButton_databk");
    QCOMPARE(bytesOf(backupPath()), bytesOf(bank->filePath()));
    QCOMPARE(store->checkBankFile(backupPath()), 0);
    QVERIFY2(text().startsWith(backedUp), qPrintable(text()));
    const QFileInfo info(backupPath());
    const QDateTime born = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    QCOMPARE(text(), backedUp + ChineseDesktop::textDate(born));

    // A second backup replaces the first, and nothing else is left beside it.
    const QStringList files = entries(bank->path());
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("D"), QStringLiteral("1"), QStringLiteral("001")), 0);
    const QByteArray first = bytesOf(backupPath());
    click("pushButton_databk");
    QVERIFY(bytesOf(backupPath()) != first);
    QCOMPARE(bytesOf(backupPath()), bytesOf(bank->filePath()));
    QVERIFY(text().startsWith(backedUp));
    QCOMPARE(entries(bank->path()), files);
}

void TestConfigDialog::backupUnderFullDiskKeepsTheOldBackup()
{
    openDialog();
    click("pushButton_databk");
    QVERIFY(text().startsWith(backedUp));
    const QByteArray oldBackup = bytesOf(backupPath());
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("D"), QStringLiteral("1"), QStringLiteral("001")), 0);
    const QByteArray live = bytesOf(bank->filePath());
    const QStringList files = entries(bank->path());
    LogCapture log;
    {
        const FileSizeLimit limit(rlim_t(live.size() / 2));
        click("pushButton_databk");
    }
    QCOMPARE(text(), backupFailed);
    // Why, in the log.
    QVERIFY2(log.contains(QStringLiteral("备份失败:")) && log.contains(QStringLiteral("写入")),
             qPrintable(log.lines().join(QLatin1Char('\n'))));
    QCOMPARE(bytesOf(backupPath()), oldBackup);
    QCOMPARE(bytesOf(bank->filePath()), live);
    QCOMPARE(entries(bank->path()), files);
    storeWorks();
}

void TestConfigDialog::backupsWhileAnswersAreRecorded()
{
    openDialog();
    std::atomic<bool> stop{false};
    std::atomic<int> recorded{0};
    std::atomic<int> failures{0};
    std::unique_ptr<QThread> writer(QThread::create([&] {
        for (int n = 1; !stop; ++n) {
            failures += store->recordAnswer(1001 + n % 10, QString::number(n), QStringLiteral("1"), QStringLiteral("001")) != 0;
            recorded = n;
        }
    }));
    writer->start();
    for (int i = 0; i < 10; ++i) {
        QVERIFY(QTest::qWaitFor([&] { return recorded > i * 3; }));
        click("pushButton_databk");
        QVERIFY2(text().startsWith(backedUp), qPrintable(text()));
        QCOMPARE(store->checkBankFile(backupPath()), 0);
    }
    stop = true;
    QVERIFY(writer->wait());
    QCOMPARE(failures.load(), 0);
}

void TestConfigDialog::restore()
{
    openDialog();
    const QString before = answer();
    click("pushButton_databk");
    const QByteArray backupBytes = bytesOf(backupPath());
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("ZZ"), QStringLiteral("2"), QStringLiteral("001")), 0);
    QCOMPARE(answer(), QStringLiteral("ZZ"));
    const QString backupTime = ChineseDesktop::textDate(QFileInfo(backupPath()).lastModified());

    answerRestore(QStringLiteral("pushButton_save"));
    QCOMPARE(text(), QStringLiteral("还原:%1文件成功.").arg(backupTime));
    QCOMPARE(answer(), before);
    QCOMPARE(bytesOf(bank->filePath()), backupBytes);
    // The backup stays, and nothing else is left beside the bank.
    QCOMPARE(bytesOf(backupPath()), backupBytes);
    QCOMPARE(entries(bank->path()),
             (QStringList{QStringLiteral("BKMedicalDB.db"), QStringLiteral("MedicalDB.db"), QStringLiteral("images")}));
    QCOMPARE(store->databaseDir(), bank->databaseDir());
    storeWorks();
}

void TestConfigDialog::restoreDeclined_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << "pushButton_save_2";
    QTest::newRow("close") << "pushButton_exit";
}

void TestConfigDialog::restoreDeclined()
{
    QFETCH(QString, button);
    openDialog();
    click("pushButton_databk");
    const QString shown = text();
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("ZZ"), QStringLiteral("2"), QStringLiteral("001")), 0);
    const QByteArray live = bytesOf(bank->filePath());
    const QByteArray backupBytes = bytesOf(backupPath());

    answerRestore(button);
    QCOMPARE(text(), shown);
    QCOMPARE(answer(), QStringLiteral("ZZ"));
    QCOMPARE(bytesOf(bank->filePath()), live);
    QCOMPARE(bytesOf(backupPath()), backupBytes);
}

void TestConfigDialog::restoreWithoutBackup()
{
    openDialog();
    const QStringList files = entries(bank->path());
    click("pushButton_Reduction");
    QCOMPARE(text(), noBackupFile);
    QCoreApplication::processEvents();
    QVERIFY(shownConfirmations().isEmpty());
    QCOMPARE(entries(bank->path()), files);
    storeWorks();
}

void TestConfigDialog::restoreRefused_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("garbage") << "garbage";
    QTest::newRow("plain bank") << "plain";
    QTest::newRow("other phrase") << "phrase";
    QTest::newRow("zero bytes") << "zero";
    QTest::newRow("directory") << "directory";
    QTest::newRow("full disk") << "full";
}

void TestConfigDialog::restoreRefused()
{
    QFETCH(QString, form);
    std::unique_ptr<FixtureBank> other;
    if (form == QLatin1String("garbage")) {
        QVERIFY(writeBytes(backupPath(), QByteArray(8192, 'x')));
    } else if (form == QLatin1String("plain") || form == QLatin1String("phrase")) {
        other = std::make_unique<FixtureBank>(form == QLatin1String("plain") ? FixtureBank::Form::Plain
                                                                             : FixtureBank::Form::Keyed);
        if (form == QLatin1String("phrase"))
            other->setPhrase("another phrase");
        QVERIFY(other->open());
        QVERIFY(QFile::copy(other->filePath(), backupPath()));
    } else if (form == QLatin1String("zero")) {
        QVERIFY(writeBytes(backupPath(), QByteArray()));
    } else if (form == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(backupPath()));
    } else {
        QVERIFY(QFile::copy(bank->filePath(), backupPath()));
    }
    openDialog();
    QCOMPARE(store->recordAnswer(1001, QStringLiteral("ZZ"), QStringLiteral("2"), QStringLiteral("001")), 0);
    const QByteArray live = bytesOf(bank->filePath());
    const QByteArray backupBytes = QFileInfo(backupPath()).isFile() ? bytesOf(backupPath()) : QByteArray();
    const QStringList files = entries(bank->path());

    LogCapture log;
    if (form == QLatin1String("full")) {
        const FileSizeLimit limit(rlim_t(live.size() / 2));
        answerRestore(QStringLiteral("pushButton_save"));
    } else {
        answerRestore(QStringLiteral("pushButton_save"));
    }
    QCOMPARE(text(), restoreFailed);
    QVERIFY2(log.contains(QStringLiteral("还原失败:[")), qPrintable(log.lines().join(QLatin1Char('\n'))));
    QCOMPARE(bytesOf(bank->filePath()), live);
    QCOMPARE(QFileInfo(backupPath()).isFile() ? bytesOf(backupPath()) : QByteArray(), backupBytes);
    QCOMPARE(entries(bank->path()), files);
    QCOMPARE(answer(), QStringLiteral("ZZ"));
    storeWorks();
}

void TestConfigDialog::restoreReopensTheSubject_data()
{
    QTest::addColumn<bool>("goodBackup");
    QTest::newRow("restored") << true;
    QTest::newRow("refused") << false;
}

void TestConfigDialog::restoreReopensTheSubject()
{
    QFETCH(bool, goodBackup);
    openDialog();
    click("pushButton_databk");
    if (!goodBackup)
        QVERIFY(writeBytes(backupPath(), QByteArray(8192, 'x')));
    const QByteArray expected = goodBackup ? bytesOf(backupPath()) : bytesOf(bank->filePath());
    // The connection is no longer on the subject's bank.
    store->closeDatabase();
    QVERIFY(!QSqlDatabase::database(QSqlDatabase::defaultConnection, false).isOpen());
    answerRestore(QStringLiteral("pushButton_save"));
    QCOMPARE(text().startsWith(QStringLiteral("还原:")), goodBackup);
    QCOMPARE(bytesOf(bank->filePath()), expected);
    QCOMPARE(store->databaseDir(), bank->databaseDir());
    storeWorks();
}

void TestConfigDialog::closeButton()
{
    openDialog();
    click("pushButton");
    QTRY_VERIFY(dialog.isNull());
}

QTEST_MAIN(TestConfigDialog)
#include "tst_configdialog.moc"
