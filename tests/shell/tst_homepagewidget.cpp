// The home page on fixture banks: counts, recent chapters, streak, exam
// date, row choice, service links and the one-time clean-up.
#include "HomePageTableCell.h"
#include "HomePageWidget.h"

#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "DialogAnswerer.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "PublicData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"

#include <QDateEdit>
#include <QDialog>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int generousWait = 120000;
// The bank counts as tidied, so the constructor leaves it alone.
const QByteArray tidiedConfig = "[Remove]\nType=1\n";
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

SqliteClass *store()
{
    return SqliteClass::instance();
}

// A tree the clean-up keeps: chapter 500 with the sections 501 呼吸系统 and
// 502 循环系统, and the question sets 600 + i named 第i节 under them in turn,
// each with the group 700 + i.
QString treeSql(int sets)
{
    QStringList sql{QStringLiteral("INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (500, '内科学', 0, 1), "
                                   "(501, '呼吸系统', 500, 1), (502, '循环系统', 500, 2)")};
    for (int i = 0; i < sets; ++i) {
        sql << QStringLiteral("INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (%1, '第%2节', %3, %2)")
                   .arg(600 + i)
                   .arg(i)
                   .arg(501 + i % 2);
        sql << QStringLiteral("INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) "
                              "VALUES (%1, %2, 1, '', 1)")
                   .arg(700 + i)
                   .arg(600 + i);
    }
    return sql.join(QStringLiteral(";\n")) + QLatin1Char(';');
}

QString sectionOf(int set)
{
    return set % 2 ? QStringLiteral("循环系统") : QStringLiteral("呼吸系统");
}

// Question queId, text "题目<queId>" with an image reference, in set's group;
// status "0" with no time leaves it unanswered.
QString questionSql(int queId, int set, const QString &status, const QDateTime &time = QDateTime())
{
    const QString when = time.isValid()
                             ? QLatin1Char('\'') + time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1Char('\'')
                             : QStringLiteral("NULL");
    return QStringLiteral("INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus, userTime) "
                          "VALUES (%1, %2, '题目%1[p%1.png]', 'A', '0', %1, '%3', %4);")
        .arg(queId)
        .arg(700 + set)
        .arg(status, when);
}

// Sets 0 .. sets-1, one question each answered right, set i a minute after set i-1.
QString answeredSetsSql(int sets, const QDateTime &first)
{
    QString sql = treeSql(sets);
    for (int i = 0; i < sets; ++i)
        sql += questionSql(800 + i, i, QStringLiteral("1"), first.addSecs(60 * i));
    return sql;
}

int count(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

QString storedExamTime()
{
    SqliteData *row = nullptr;
    if (store()->readConfigTable(QStringLiteral("ExamTime"), row) == -1)
        return QStringLiteral("read failed");
    const std::unique_ptr<SqliteData> owned(row);
    return row ? row->text0 : QStringLiteral("no row");
}

template <class T>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QTableWidget *table(HomePageWidget &page)
{
    return child<QTableWidget>(&page, "tableWidget");
}

HomePageTableCell *cell(HomePageWidget &page, int row)
{
    return qobject_cast<HomePageTableCell *>(table(page)->cellWidget(row, 0));
}

QString cellText(HomePageWidget &page, int row, const char *label = "label_text")
{
    return child<QLabel>(cell(page, row), label)->text();
}

// One load of the recent chapters, waited for: its end always rewrites the
// streak line.
bool load(HomePageWidget &page)
{
    QLabel *state = child<QLabel>(&page, "label_studystate");
    state->clear();
    page.initData();
    return QTest::qWaitFor([&] { return !state->text().isEmpty(); }, generousWait);
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(26, 26).toImage().convertToFormat(QImage::Format_ARGB32);
}

const QStringList defaultLinks{QStringLiteral("http://www.velmora.example/app"),
                               QStringLiteral("http://www.velmora.example/chanpin"),
                               QStringLiteral("http://www.velmora.example/gift.html")};
const QStringList linkKeys{QStringLiteral("ContactUs/Hygienicqualification"),
                           QStringLiteral("ContactUs/Physicianqualification"),
                           QStringLiteral("ContactUs/Licensedpharmacist")};
const char *const linkButtons[] = {"pushButton", "pushButton_2", "pushButton_3"};

} // namespace

// Takes the URLs the page asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestHomePageWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void counts_data();
    void counts();
    void recentRows();
    void initDataWhileLoadingChangesNothing();
    void deletedWithRowsQueued();
    void streak_data();
    void streak();
    void examDateChoice_data();
    void examDateChoice();
    void storedExamDate_data();
    void storedExamDate();
    void chooseRow_data();
    void chooseRow();
    void startLearning_data();
    void startLearning();
    void serviceLinks_data();
    void serviceLinks();
    void linksOpen_data();
    void linksOpen();
    void cleanupOnce_data();
    void cleanupOnce();
    void cleanupNotRepeated();
    void skinColor();

private:
    // A new bank open in the store: the standard fixture or only the schema, plus sql.
    bool openBank(bool standard, const QString &sql = QString());

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> bank;
};

void TestHomePageWidget::initTestCase()
{
    initResources();
}

void TestHomePageWidget::cleanup()
{
    store()->closeDatabase();
    bank.reset();
    workDir.reset();
    PublicData *data = PublicData::instance();
    data->proxyButtonText1.clear();
    data->proxyButtonText2.clear();
    data->proxyButtonText3.clear();
}

bool TestHomePageWidget::openBank(bool standard, const QString &sql)
{
    bank = std::make_unique<FixtureBank>();
    if (!standard)
        bank->setSchemaOnly();
    if (!sql.isEmpty())
        bank->addSql(sql);
    if (!bank->open()) {
        qWarning() << bank->error();
        return false;
    }
    return store()->openDatabase(bank->path(), phrase, 0) == 2;
}

void TestHomePageWidget::counts_data()
{
    QTest::addColumn<int>("answered");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("rateMaximum");
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<QString>("state");
    QTest::newRow("4 answered, 3 right") << 4 << 3 << 4 << 0 << "今天已经学习过了，真勤快!";
    QTest::newRow("nothing answered") << 0 << 0 << 100 << 1 << "开启您的学习之旅吧!";
}

void TestHomePageWidget::counts()
{
    QFETCH(int, answered);
    QFETCH(int, right);
    QFETCH(int, rateMaximum);
    QFETCH(int, pageIndex);
    QFETCH(QString, state);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    // Ten questions in one set; a deleted one counts nowhere.
    QString sql = treeSql(1);
    for (int i = 0; i < 10; ++i) {
        const QString status = i < right ? QStringLiteral("1") : i < answered ? QStringLiteral("2") : QStringLiteral("0");
        sql += questionSql(800 + i, 0, status, status == QLatin1String("0") ? QDateTime() : QDateTime::currentDateTime());
    }
    sql += QStringLiteral("INSERT INTO tQue (queId, cateListId, queText, IsDel, userStatus) VALUES (900, 700, '删', '1', '1');");
    QVERIFY(openBank(false, sql));

    HomePageWidget page;
    QVERIFY(load(page));
    QCOMPARE(child<QLabel>(&page, "label_text")->text(),
             QStringLiteral("总题数: 10\t已做题数: %1\t正确题数: %2\t错误题数: <font color=\"#FF0000\">%3</font>")
                 .arg(answered)
                 .arg(right)
                 .arg(answered - right));
    auto *study = child<QProgressBar>(&page, "progress_study_progress");
    QCOMPARE(study->minimum(), 0);
    QCOMPARE(study->maximum(), 10);
    QCOMPARE(study->value(), answered);
    auto *rate = child<QProgressBar>(&page, "progress_right_rate");
    QCOMPARE(rate->minimum(), 0);
    QCOMPARE(rate->maximum(), rateMaximum);
    QCOMPARE(rate->value(), right);
    QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), pageIndex);
    QCOMPARE(child<QLabel>(&page, "label_studystate")->text(), state);
}

void TestHomePageWidget::recentRows()
{
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    const QDateTime first(QDate(2015, 10, 1), QTime(8, 0, 0));
    QVERIFY(openBank(false, answeredSetsSql(20, first)));

    HomePageWidget page;
    QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), 0);
    QVERIFY(load(page));
    QCOMPARE(table(page)->rowCount(), 12);
    QCOMPARE(table(page)->columnCount(), 1);
    for (int row = 0; row < 12; ++row) {
        const int set = 19 - row; // newest first
        QCOMPARE(table(page)->rowHeight(row), 80);
        QCOMPARE(cellText(page, row),
                 QStringLiteral("%1 > 第%2节 > 题目%3").arg(sectionOf(set)).arg(set).arg(800 + set));
        QCOMPARE(cellText(page, row, "label_time"),
                 first.addSecs(60 * set).toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
    }

    // A second load replaces the rows rather than adding to them.
    QVERIFY(load(page));
    QCOMPARE(table(page)->rowCount(), 12);
    QCOMPARE(cellText(page, 0), QStringLiteral("循环系统 > 第19节 > 题目819"));
}

void TestHomePageWidget::initDataWhileLoadingChangesNothing()
{
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(false, answeredSetsSql(3, QDateTime::currentDateTime().addSecs(-3600))
                                + questionSql(900, 0, QStringLiteral("0"))));
    HomePageWidget page;
    QLabel *counts = child<QLabel>(&page, "label_text");
    QLabel *state = child<QLabel>(&page, "label_studystate");
    state->clear();
    page.initData();
    const QString countsOfFirstLoad = counts->text();
    QVERIFY(countsOfFirstLoad.contains(QStringLiteral("已做题数: 3\t")));

    // Until the end of that load has been received, a second request is dropped.
    QCOMPARE(store()->recordAnswer(900, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("001")), 0);
    QCOMPARE(page.initData(), 0);
    QCOMPARE(counts->text(), countsOfFirstLoad);
    QVERIFY(QTest::qWaitFor([&] { return !state->text().isEmpty(); }, generousWait));
    QCOMPARE(counts->text(), countsOfFirstLoad);
    QCOMPARE(table(page)->rowCount(), 3);

    QVERIFY(load(page));
    QVERIFY(counts->text().contains(QStringLiteral("已做题数: 4\t")));
    QCOMPARE(table(page)->rowCount(), 3);
    QCOMPARE(cellText(page, 0), QStringLiteral("呼吸系统 > 第0节 > 题目900"));
}

// A page deleted while its rows wait in the event queue frees them: the
// sanitizer build's leak check fails otherwise.
void TestHomePageWidget::deletedWithRowsQueued()
{
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(false, answeredSetsSql(5, QDateTime::currentDateTime().addSecs(-3600))));
    auto page = std::make_unique<HomePageWidget>();
    page->initData();
    auto *worker = page->findChild<DataToUiThreadClass *>();
    QVERIFY(worker);
    QVERIFY(worker->wait(generousWait));
    QCOMPARE(table(*page)->rowCount(), 0); // every row is still queued
    page.reset();
    QCoreApplication::processEvents();
}

void TestHomePageWidget::streak_data()
{
    QTest::addColumn<int>("daysAgo");
    QTest::addColumn<QString>("state");
    QTest::newRow("today") << 0 << "今天已经学习过了，真勤快!";
    QTest::newRow("yesterday") << 1 << "您昨天来学习过,继续保持哦!";
    QTest::newRow("5 days ago") << 5 << "您已经[5]天没来学习，今天要努力了！";
}

void TestHomePageWidget::streak()
{
    QFETCH(int, daysAgo);
    QFETCH(QString, state);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    const QDate today = QDate::currentDate();
    // The newest answer counts; an older chapter is listed after it.
    QVERIFY(openBank(false, treeSql(2)
                                + questionSql(800, 0, QStringLiteral("1"), QDateTime(today.addDays(-daysAgo), QTime(0, 0, 1)))
                                + questionSql(801, 1, QStringLiteral("2"), QDateTime(today.addDays(-9), QTime(12, 0)))));
    HomePageWidget page;
    QVERIFY(load(page));
    QCOMPARE(table(page)->rowCount(), 2);
    QCOMPARE(child<QLabel>(&page, "label_studystate")->text(), state);
    QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), 0);
}

void TestHomePageWidget::examDateChoice_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("button"); // empty: as it was
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refused");
    const QString tomorrow = QDate::currentDate().addDays(1).toString(dateFormat);
    const QString refuseWrites = QStringLiteral(
        "CREATE TRIGGER refuse BEFORE UPDATE ON ConfigTable BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    QTest::newRow("tomorrow") << 1 << "" << "距离考试还有1天" << tomorrow << false;
    QTest::newRow("in 100 days") << 100 << "" << "距离考试还有100天"
                                 << QDate::currentDate().addDays(100).toString(dateFormat) << false;
    QTest::newRow("today") << 0 << "" << "" << "2016-09-10" << true;
    QTest::newRow("yesterday") << -1 << "" << "" << "2016-09-10" << true;
    QTest::newRow("write fails") << 1 << refuseWrites << "" << "2016-09-10" << false;
}

void TestHomePageWidget::examDateChoice()
{
    QFETCH(int, offset);
    QFETCH(QString, sql);
    QFETCH(QString, button);
    QFETCH(QString, stored);
    QFETCH(bool, refused);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(true, sql)); // its exam date is 2016-09-10
    HomePageWidget page;
    page.setSkinColor(QStringLiteral("80,153,2,255"));
    page.show();
    QVERIFY(load(page));
    auto *examButton = child<QPushButton>(&page, "pushbutton_examtime");
    const QString before = examButton->text();
    QVERIFY(before.startsWith(QStringLiteral("距离考试还有-")));

    LogCapture log;
    QString message;
    std::unique_ptr<DialogAnswerer> boxAnswerer;
    DialogAnswerer answerer([&](QWidget *dialog) {
        child<QDateEdit>(dialog, "dateEdit")->setDate(QDate::currentDate().addDays(offset));
        boxAnswerer = std::make_unique<DialogAnswerer>([&](QWidget *box) {
            message = child<QLabel>(box, "label_message")->text();
            QVERIFY(DialogAnswerer::clickButton(box, QStringLiteral("确  定")));
        });
        QVERIFY(DialogAnswerer::clickButton(dialog, QStringLiteral("确  定")));
    });
    QTest::mouseClick(examButton, Qt::LeftButton);
    QVERIFY(answerer.wait());
    QCOMPARE(answerer.dialogClass(), QStringLiteral("SetExamTime"));
    if (refused) {
        QVERIFY(boxAnswerer->wait());
        QCOMPARE(boxAnswerer->dialogClass(), QStringLiteral("MyMessageBox"));
        QCOMPARE(message, QStringLiteral("考试时间已过期,请重新设置."));
    } else {
        QVERIFY(!boxAnswerer->answered());
        QVERIFY(!qobject_cast<QDialog *>(QApplication::activeModalWidget()));
    }
    QCOMPARE(examButton->text(), button.isEmpty() ? before : button);
    QCOMPARE(storedExamTime(), stored);
    QCOMPARE(log.contains(QStringLiteral("InsertOrUpdateConfigTable")), !sql.isEmpty());

    // The next load counts from what is stored.
    QVERIFY(load(page));
    QCOMPARE(examButton->text(), button.isEmpty() ? before : button);
}

void TestHomePageWidget::storedExamDate_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("afterLoad");
    QTest::addColumn<QString>("onOpening");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<bool>("logged");
    const QDate today = QDate::currentDate();
    const QString setDate = QStringLiteral("UPDATE ConfigTable SET V1 = '%1' WHERE Key = 'ExamTime';");
    const QString none = QStringLiteral("设置考试时间");
    QTest::newRow("three days past") << setDate.arg(today.addDays(-3).toString(dateFormat)) << "距离考试还有-3天"
                                     << "距离考试还有-3天" << today.addDays(-3) << false;
    QTest::newRow("tomorrow") << setDate.arg(today.addDays(1).toString(dateFormat)) << "距离考试还有1天" << none
                              << today.addDays(1) << false;
    QTest::newRow("today") << setDate.arg(today.toString(dateFormat)) << "距离考试还有0天" << none << today << false;
    QTest::newRow("no row") << "DELETE FROM ConfigTable WHERE Key = 'ExamTime';" << none << none << today << false;
    QTest::newRow("not yyyy-MM-dd") << setDate.arg(QStringLiteral("2016/09/10")) << none << none << today << false;
    QTest::newRow("empty text") << setDate.arg(QString()) << none << none << today << false;
    QTest::newRow("read fails") << "DROP TABLE ConfigTable;" << none << none << today << true;
}

void TestHomePageWidget::storedExamDate()
{
    QFETCH(QString, sql);
    QFETCH(QString, afterLoad);
    QFETCH(QString, onOpening);
    QFETCH(QDate, shown);
    QFETCH(bool, logged);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(true, sql));
    LogCapture log;
    {
        HomePageWidget page;
        QVERIFY(load(page));
        QCOMPARE(child<QPushButton>(&page, "pushbutton_examtime")->text(), afterLoad);
    }
    QCOMPARE(log.contains(QStringLiteral("ConfigTable")), logged);

    HomePageWidget page;
    page.show();
    auto *examButton = child<QPushButton>(&page, "pushbutton_examtime");
    QDate dialogDate;
    QString buttonWhileOpen;
    DialogAnswerer answerer([&](QWidget *dialog) {
        dialogDate = child<QDateEdit>(dialog, "dateEdit")->date();
        buttonWhileOpen = examButton->text();
        QVERIFY(DialogAnswerer::clickButton(dialog, QStringLiteral("pushButton_exit")));
    });
    QTest::mouseClick(examButton, Qt::LeftButton);
    QVERIFY(answerer.wait());
    QCOMPARE(dialogDate, shown);
    QCOMPARE(buttonWhileOpen, onOpening);
}

void TestHomePageWidget::chooseRow_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("row");
    QTest::newRow("button, first row") << false << 0;
    QTest::newRow("button, third row") << false << 2;
    QTest::newRow("double click, second row") << true << 1;
    QTest::newRow("double click, third row") << true << 2;
}

void TestHomePageWidget::chooseRow()
{
    QFETCH(bool, doubleClick);
    QFETCH(int, row);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(false, answeredSetsSql(3, QDateTime(QDate(2015, 10, 1), QTime(8, 0)))));
    HomePageWidget page;
    page.resize(987, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(load(page));

    QList<QStringList> emitted;
    connect(&page, &HomePageWidget::sendSqliteData, this, [&](SqliteData *record, int mode, QString parentName) {
        // The record is only lent for the call.
        emitted << QStringList{record->text0, record->text1, record->text5, QString::number(mode), parentName};
    });
    const auto choose = [&] {
        if (doubleClick) {
            // A double click as the window system delivers it: a click, then the double click.
            QLabel *time = child<QLabel>(cell(page, row), "label_time");
            QTest::mouseClick(time, Qt::LeftButton);
            QTest::mouseDClick(time, Qt::LeftButton);
        } else {
            QTest::mouseClick(child<QPushButton>(cell(page, row), "pushButton_learn"), Qt::LeftButton);
        }
    };
    const int set = 2 - row;
    const QStringList expected{QString::number(600 + set), QStringLiteral("第%1节").arg(set), QStringLiteral("1"),
                               QStringLiteral("2"), sectionOf(set)};
    QVERIFY(cellText(page, row).startsWith(sectionOf(set) + QStringLiteral(" > ")));

    choose();
    QCOMPARE(emitted.size(), 1);
    QCOMPARE(emitted.first(), expected);
    // The records went with the choice; the rows stay until the next load.
    choose();
    QCOMPARE(emitted.size(), 1);
    QCOMPARE(table(page)->rowCount(), 3);

    QVERIFY(load(page));
    choose();
    QCOMPARE(emitted.size(), 2);
    QCOMPARE(emitted.last(), expected);
}

void TestHomePageWidget::startLearning_data()
{
    QTest::addColumn<int>("answeredSets");
    QTest::addColumn<int>("byReturn");
    QTest::newRow("start page") << 0 << 1;
    QTest::newRow("table page") << 2 << 0;
}

void TestHomePageWidget::startLearning()
{
    QFETCH(int, answeredSets);
    QFETCH(int, byReturn);
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(false, answeredSetsSql(answeredSets, QDateTime::currentDateTime().addDays(-1))));
    HomePageWidget page;
    QSignalSpy spy(&page, &HomePageWidget::sendStartlearn);
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QVERIFY(load(page));
    auto *start = child<QPushButton>(&page, "pushButton_startlearn");
    QTest::keyClick(&page, Qt::Key_Return);
    // The shortcut presses the button at once and releases it a moment later.
    QCOMPARE(start->isDown(), byReturn == 1);
    QTRY_COMPARE(spy.count(), byReturn);
    if (answeredSets == 0) {
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
    }
}

void TestHomePageWidget::serviceLinks_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("agentIconFiles");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("icons");

    const QStringList builtinTexts{QStringLiteral("    手机版下载"), QStringLiteral("    更多辅导产品"),
                                   QStringLiteral("    领取活动礼包")};
    const QStringList builtinIcons{QStringLiteral(":/HomePage/images/HomePage/Hygienicqualification.png"),
                                   QStringLiteral(":/HomePage/images/HomePage/Physicianqualification.png"),
                                   QStringLiteral(":/HomePage/images/HomePage/Licensedpharmacist.png")};
    const QStringList formTexts{QStringLiteral("  卫生资格   网上辅导教程"), QStringLiteral("  医师资格   网上辅导教程"),
                                QStringLiteral("  执业药师   网上辅导教程")};
    const QStringList formIcons{QStringLiteral(":/HomePage/images/HomePage/weishengzige.png"),
                                QStringLiteral(":/HomePage/images/HomePage/yishizige.png"),
                                QStringLiteral(":/HomePage/images/HomePage/zhiyeyaoshi.png")};
    const QStringList agentIcons{QStringLiteral("Logo/ProxyButton_1.png"), QStringLiteral("Logo/ProxyButton_2.png"),
                                 QStringLiteral("Logo/ProxyButton_3.png")};
    const QStringList captions{QStringLiteral("执业医师"), QStringLiteral("护士"), QStringLiteral("药师")};
    const QStringList agentTexts{QStringLiteral("    执业医师"), QStringLiteral("    护士"), QStringLiteral("    药师")};
    const QString service = QStringLiteral("用户服务专区");
    const QString tutorial = QStringLiteral("网上辅导教程");
    const QByteArray agentLinks = "[ContactUs]\nHygienicqualification=http://agent.example/a\n"
                                  "Physicianqualification=http://agent.example/b\n";
    const QStringList agentValues{QStringLiteral("http://agent.example/a"), QStringLiteral("http://agent.example/b"),
                                  QString()};

    QTest::newRow("no Logo/Type, no links") << QByteArray() << QStringList() << false << defaultLinks << service
                                            << builtinTexts << builtinIcons;
    QTest::newRow("type 0, no links") << QByteArray("[Logo]\nType=0\n") << QStringList() << false << defaultLinks
                                      << service << builtinTexts << builtinIcons;
    QTest::newRow("type 2, first link changed") << "[Logo]\nType=2\n" + agentLinks << QStringList() << false
                                                << defaultLinks << service << builtinTexts << builtinIcons;
    QTest::newRow("type 2, first link default")
        << QByteArray("[Logo]\nType=2\n[ContactUs]\nHygienicqualification=http://www.velmora.example/app\n"
                      "Physicianqualification=http://agent.example/b\n")
        << QStringList() << false
        << QStringList{defaultLinks.first(), QStringLiteral("http://agent.example/b"), QString()} << service
        << builtinTexts << builtinIcons;
    QTest::newRow("type 1 keeps the form") << "[Logo]\nType=1\n" + agentLinks << captions << true << agentValues
                                           << tutorial << formTexts << formIcons;
    QTest::newRow("agent captions and icons") << "[Logo]\nType=3\n" + agentLinks << captions << true << agentValues
                                              << service << agentTexts << agentIcons;
    QTest::newRow("agent captions, no icon files") << "[Logo]\nType=3\n" + agentLinks << captions << false
                                                   << agentValues << service << agentTexts << builtinIcons;
    QTest::newRow("first caption empty") << "[Logo]\nType=3\n" + agentLinks
                                         << QStringList{QString(), QStringLiteral("护士"), QStringLiteral("药师")}
                                         << true << agentValues << service << builtinTexts << builtinIcons;
}

void TestHomePageWidget::serviceLinks()
{
    QFETCH(QByteArray, config);
    QFETCH(QStringList, captions);
    QFETCH(bool, agentIconFiles);
    QFETCH(QStringList, links);
    QFETCH(QString, title);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, icons);
    workDir = std::make_unique<TempWorkDir>(config + "[Remove]\nType=1\n");
    if (agentIconFiles) {
        QVERIFY(QDir(workDir->path()).mkdir(QStringLiteral("Logo")));
        const QColor colours[] = {Qt::red, Qt::yellow, Qt::magenta};
        for (int i = 0; i < 3; ++i) {
            QImage image(26, 26, QImage::Format_ARGB32);
            image.fill(colours[i]);
            QVERIFY(image.save(QStringLiteral("Logo/ProxyButton_%1.png").arg(i + 1)));
        }
    }
    PublicData *data = PublicData::instance();
    data->proxyButtonText1 = captions.value(0);
    data->proxyButtonText2 = captions.value(1);
    data->proxyButtonText3 = captions.value(2);

    HomePageWidget page;
    for (int i = 0; i < 3; ++i)
        QCOMPARE(ConfigIni::readText(linkKeys.at(i)), links.at(i));
    QVERIFY(child<QLabel>(&page, "label_new_6")->text().contains(title));
    for (int i = 0; i < 3; ++i) {
        auto *button = child<QPushButton>(&page, linkButtons[i]);
        QCOMPARE(button->text(), texts.at(i));
        QCOMPARE(button->iconSize(), QSize(26, 26));
        QVERIFY2(iconImage(button->icon()) == iconImage(QIcon(icons.at(i))), qPrintable(icons.at(i)));
    }
}

void TestHomePageWidget::linksOpen_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QList<QUrl>>("opened"); // an empty URL: the button opens nothing
    QTest::newRow("defaults") << QByteArray("[Logo]\nType=0\n")
                              << QList<QUrl>{QUrl(defaultLinks.at(0)), QUrl(defaultLinks.at(1)), QUrl(defaultLinks.at(2))};
    QTest::newRow("agent links, one empty")
        << QByteArray("[Logo]\nType=1\n[ContactUs]\nHygienicqualification=http://agent.example/a b\n"
                      "Physicianqualification=\nLicensedpharmacist=https://agent.example/gift\n")
        << QList<QUrl>{QUrl(QStringLiteral("http://agent.example/a%20b")), QUrl(),
                       QUrl(QStringLiteral("https://agent.example/gift"))};
}

void TestHomePageWidget::linksOpen()
{
    QFETCH(QByteArray, config);
    QFETCH(QList<QUrl>, opened);
    workDir = std::make_unique<TempWorkDir>(config + "[Remove]\nType=1\n");
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    HomePageWidget page;
    page.show();
    for (int i = 0; i < 3; ++i) {
        recorder.opened.clear();
        QTest::mouseClick(child<QPushButton>(&page, linkButtons[i]), Qt::LeftButton);
        QCOMPARE(recorder.opened, opened.at(i).isEmpty() ? QList<QUrl>() : QList<QUrl>{opened.at(i)});
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestHomePageWidget::cleanupOnce_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("removeType");
    QTest::addColumn<int>("brokenNodesLeft");
    QTest::newRow("clean-up runs") << "" << "1" << 0;
    QTest::newRow("clean-up fails")
        << "CREATE TRIGGER refuse BEFORE DELETE ON tCate BEGIN SELECT RAISE(ABORT, 'refused'); END;" << "" << 1;
}

void TestHomePageWidget::cleanupOnce()
{
    QFETCH(QString, sql);
    QFETCH(QString, removeType);
    QFETCH(int, brokenNodesLeft);
    workDir = std::make_unique<TempWorkDir>();
    QVERIFY(openBank(true, sql)); // node 80 hangs on the missing 79
    HomePageWidget page;
    QCOMPARE(count(QStringLiteral("select count(*) from tCate where cateId = 80")), brokenNodesLeft);
    QCOMPARE(ConfigIni::readText(QStringLiteral("Remove/Type")), removeType);
}

void TestHomePageWidget::cleanupNotRepeated()
{
    workDir = std::make_unique<TempWorkDir>();
    QVERIFY(openBank(true));
    { HomePageWidget first; }
    QCOMPARE(count(QStringLiteral("select count(*) from tCate where cateId = 80")), 0);
    QCOMPARE(store()->execSql(QStringLiteral("INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (80, '孤立节点', 79, 1)")), 0);
    HomePageWidget second;
    QCOMPARE(count(QStringLiteral("select count(*) from tCate where cateId = 80")), 1);
}

void TestHomePageWidget::skinColor()
{
    workDir = std::make_unique<TempWorkDir>(tidiedConfig);
    QVERIFY(openBank(false, answeredSetsSql(2, QDateTime(QDate(2015, 10, 1), QTime(8, 0)))));
    HomePageWidget page;
    QVERIFY(load(page));
    const QString formRowSheet = child<QPushButton>(cell(page, 0), "pushButton_learn")->styleSheet();
    QVERIFY(formRowSheet.contains(QStringLiteral("rgb(95, 183, 3)")));

    page.setSkinColor(QStringLiteral("255,127,167,255"));
    const QString barSheet = QStringLiteral(
        "QProgressBar{border:none;background-color: rgb(230, 230, 230);border-radius:7px;text-align:center;"
        "min-height:15px;}QProgressBar::chunk {background-color: rgb(255,127,167,255);border-radius:7px;}");
    QCOMPARE(child<QProgressBar>(&page, "progress_study_progress")->styleSheet(), barSheet);
    QCOMPARE(child<QProgressBar>(&page, "progress_right_rate")->styleSheet(), barSheet);
    QCOMPARE(child<QPushButton>(&page, "pushButton_startlearn")->styleSheet(),
             QStringLiteral("QPushButton{background-color: rgb(255,127,167,255);border-radius:5px;"
                            "color: rgb(255, 255, 255);font: 16pt \"微软雅黑\";}"
                            "QPushButton:hover{background-color: rgb(255,147,167,255);}"));
    QCOMPARE(child<QPushButton>(&page, "pushbutton_examtime")->styleSheet(),
             QStringLiteral("QPushButton{border-radius:5px;max-height:34px;min-width:176px;max-width:176px;"
                            "min-height:34px;font: 12pt \"微软雅黑\";background-color: rgb(255,127,167,255);"
                            "color: rgb(255, 255, 255);}QPushButton:hover{background-color: rgb(255,147,167,255);}"));
    // Rows already shown keep their colour; the next load's rows take the new one.
    QCOMPARE(child<QPushButton>(cell(page, 0), "pushButton_learn")->styleSheet(), formRowSheet);
    QVERIFY(load(page));
    for (int row = 0; row < 2; ++row)
        QVERIFY(child<QPushButton>(cell(page, row), "pushButton_learn")
                    ->styleSheet()
                    .contains(QStringLiteral("background-color: rgb(255,127,167,255);")));
}

QTEST_MAIN(TestHomePageWidget)
#include "tst_homepagewidget.moc"
