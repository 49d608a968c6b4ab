// The chapter practice page on the fixture bank: its settings, opening,
// paging, the cells of every type, the clock, the summary, the reading
// settings, error reports, and hosts that delete it while it works.
#include "SingleQuestionModelFrom.h"

#include "CRoundProcessBar.h"
#include "CellBk.h"
#include "CellFixture.h"
#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "FontBk.h"
#include "InterpretationForm.h"
#include "LogCapture.h"
#include "MouseEvents.h"
#include "MyMessageBox.h"
#include "ReturnQuestionsDialog.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"
#include "ViewKit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QPointer>
#include <QScrollArea>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

const QString skin = QStringLiteral("80,153,2,255");
const int generousWait = 20000;

// Section 13 gets three sets: 132 without questions (ord 1), 133 with 50
// (ord 2) and 131 with 25 (ord 3, the last). Question n of 131 reads
// "第n题"; 133 holds 15 right, 5 wrong and 30 unanswered questions.
QStringList practiceSets()
{
    const QString numbers = QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) ");
    return {
        QStringLiteral("insert into tCate (cateId, cateName, faId, ord, choose) values"
                       " (131, '二十五题', 13, 3, '1'), (132, '无题', 13, 1, '1'), (133, '五十题', 13, 2, '1')"),
        QStringLiteral("insert into tCateList (cateListId, cateId, queTypeId, publicQueText, ord) values"
                       " (131, 131, 1, '', 1), (133, 133, 1, '', 1)"),
        numbers.arg(25)
            + QStringLiteral("insert into tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime,"
                             " userStatus, userAnswer, userTime, userFav, userNote)"
                             " select 5000 + i, 131, '第' || i || '题', 'A', '', '0', i, 'P' || i, '2015-06-01 08:00:00',"
                             " '0', NULL, NULL, '0', NULL from n"),
        numbers.arg(50)
            + QStringLiteral("insert into tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime,"
                             " userStatus, userAnswer, userTime, userFav, userNote)"
                             " select 6000 + i, 133, '题' || i, 'A', '', '0', i, 'Q' || i, '2015-06-01 08:00:00',"
                             " case when i <= 15 then '1' when i <= 20 then '2' else '0' end, NULL, NULL, '0', NULL from n"),
        QStringLiteral("insert into tQueOpt (optName, optText, queId) select 'A', '甲', queId from tQue where queId > 5000"),
        QStringLiteral("insert into tQueOpt (optName, optText, queId) select 'B', '乙', queId from tQue where queId > 5000"),
    };
}

// The row a caller hands over: id, name, total, answered, right.
SqliteData setRow(int cateId, int answered = 0, int right = 0, int total = -1)
{
    SqliteData row;
    row.text0 = QString::number(cateId);
    row.text1 = sqlRow(QStringLiteral("select cateName from tCate where cateId = ?"), {cateId}).value(0);
    if (total < 0)
        total = sqlCount(QStringLiteral("select count(*) from tQue a join tCateList b on a.cateListId = b.cateListId"
                                        " where b.cateId = ? and a.IsDel != '1'"),
                         {cateId});
    row.text5 = QString::number(total);
    row.text6 = QString::number(answered);
    row.text7 = QString::number(right);
    return row;
}

template <class T>
T *child(QWidget &page, const char *name)
{
    return page.findChild<T *>(QLatin1String(name));
}

QPushButton *button(QWidget &page, const char *name)
{
    return child<QPushButton>(page, name);
}

QLayout *cells(QWidget &page)
{
    return child<QLayout>(page, "verticalLayout_add");
}

QList<QWidget *> cellWidgets(QWidget &page)
{
    QList<QWidget *> list;
    for (int i = 0; i < cells(page)->count(); ++i)
        list << cells(page)->itemAt(i)->widget();
    return list;
}

// The numbers the cells show, "1-5" for a run and "2 4" for single ones.
QString shownNumbers(QWidget &page)
{
    QList<int> numbers;
    for (QWidget *cell : cellWidgets(page))
        numbers << cell->findChild<QLabel *>(QStringLiteral("label_id"))->text().toInt();
    QStringList parts;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers.at(j + 1) == numbers.at(j) + 1)
            ++j;
        parts << (i == j ? QString::number(numbers.at(i)) : QStringLiteral("%1-%2").arg(numbers.at(i)).arg(numbers.at(j)));
        i = j + 1;
    }
    return parts.join(QLatin1Char(' '));
}

DataToUiThreadClass *worker(QWidget &page)
{
    return page.findChild<DataToUiThreadClass *>();
}

// Waits for the page's load to end and to be shown.
bool finishLoad(QWidget &page)
{
    if (!QTest::qWaitFor([&] { return worker(page) && worker(page)->isFinished(); }, generousWait))
        return false;
    QCoreApplication::sendPostedEvents(&page, QEvent::MetaCall);
    return true;
}

QString setting(const QString &key)
{
    return ConfigIni::readText(QStringLiteral("QuestionCell/") + key);
}

template <class T>
QList<T *> windowsOf()
{
    QList<T *> list;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *w = qobject_cast<T *>(window); w && w->isVisible())
            list << w;
    }
    return list;
}

QString summaryText()
{
    const QList<ReturnQuestionsDialog *> open = windowsOf<ReturnQuestionsDialog>();
    return open.isEmpty() ? QString() : open.last()->findChild<QLabel *>(QStringLiteral("label_text"))->text();
}

void closeWindows()
{
    for (ReturnQuestionsDialog *dialog : windowsOf<ReturnQuestionsDialog>())
        dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Whether the ring's pie reaches the given share of the circle, probed just
// short of it, and not much beyond.
bool pieReaches(CRoundProcessBar *bar, double share)
{
    QImage image(bar->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    bar->render(&image);
    auto at = [&](double s) {
        const double angle = s * 2 * M_PI;
        const QPointF p = QPointF(25, 25) + QPointF(15 * std::sin(angle), -15 * std::cos(angle));
        const QColor c = image.pixelColor(int(p.x()), int(p.y()));
        return qAbs(c.red() - 80) <= 12 && qAbs(c.green() - 153) <= 12 && qAbs(c.blue() - 2) <= 12;
    };
    return at(share - 0.02) && !at(share + 0.04);
}

class Page
{
public:
    explicit Page(int cateId = 0, int type = 0, int answered = 0)
    {
        page = std::make_unique<SingleQuestionModelFrom>();
        page->setSkinColor(skin);
        page->resize(800, 437);
        if (cateId) {
            SqliteData row = setRow(cateId, answered);
            page->startPractice(&row, type, QStringLiteral("呼吸系统"));
        }
    }
    SingleQuestionModelFrom &operator*() { return *page; }
    SingleQuestionModelFrom *operator->() { return page.get(); }
    std::unique_ptr<SingleQuestionModelFrom> page;
};

} // namespace

class TestSingleQuestionModelFrom : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        work = std::make_unique<TempWorkDir>();
        fixture = std::make_unique<CellFixture>(practiceSets());
        QVERIFY2(fixture->isOpen(), qPrintable(fixture->error()));
    }
    void cleanup()
    {
        closeWindows();
        fixture.reset();
        delete SqliteClass::instance();
        work.reset();
    }

    // ---- Settings ---------------------------------------------------------------

    void defaultsWithoutSettings()
    {
        Page page;
        QCOMPARE(child<QLineEdit>(*page, "lineEdit")->text(), QStringLiteral("1"));
        QCOMPARE(button(*page, "pushButton_up")->text(), QStringLiteral("上一题"));
        QCOMPARE(button(*page, "pushButton_down")->text(), QStringLiteral("下一题"));
        const QString area = child<QScrollArea>(*page, "scrollArea")->styleSheet();
        QVERIFY2(area.contains(QStringLiteral("rgb(255,255,255,255)")) && area.contains(QStringLiteral(" 12pt")),
                 qPrintable(area));
        QVERIFY(child<QCheckBox>(*page, "checkBox_answer")->isChecked());
        QCOMPARE(button(*page, "pushButton_bk")->styleSheet(),
                 QStringLiteral("QPushButton{border-image: url(:/QuestionCell/images/QuestionCell/);}"));
        QCOMPARE(setting(QStringLiteral("questionfont")), QStringLiteral("12"));
        QCOMPARE(setting(QStringLiteral("questioncolor")), QStringLiteral("255,255,255,255"));
        QVERIFY(ConfigIni().contains(QStringLiteral("QuestionCell/questionbutton")));
        QCOMPARE(setting(QStringLiteral("questionbutton")), QString());
    }

    void showAnswerSetting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("absent") << QString() << true;
        QTest::newRow("0") << QStringLiteral("0") << true;
        QTest::newRow("1") << QStringLiteral("1") << false;
        QTest::newRow("2") << QStringLiteral("2") << true;
    }
    void showAnswerSetting()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        if (!stored.isNull())
            ConfigIni::write(QStringLiteral("QuestionCell/IsChecked"), stored);
        Page page;
        auto *box = child<QCheckBox>(*page, "checkBox_answer");
        QCOMPARE(box->isChecked(), checked);
        page->show();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(setting(QStringLiteral("IsChecked")), checked ? QStringLiteral("1") : QStringLiteral("2"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(setting(QStringLiteral("IsChecked")), checked ? QStringLiteral("2") : QStringLiteral("1"));
    }

    void storedCount_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");
        QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("1") << QStringLiteral("上一题") << QStringLiteral("下一题");
        QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("上一题") << QStringLiteral("下一题");
        QTest::newRow("5") << QStringLiteral("5") << QStringLiteral("5") << QStringLiteral("上一页") << QStringLiteral("下一页");
        // Below one question per page there is nothing to show.
        QTest::newRow("-3") << QStringLiteral("-3") << QStringLiteral("1") << QStringLiteral("上一题") << QStringLiteral("下一题");
    }
    void storedCount()
    {
        QFETCH(QString, stored);
        QFETCH(QString, entry);
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), stored);
        Page page;
        QCOMPARE(child<QLineEdit>(*page, "lineEdit")->text(), entry);
        QTEST(button(*page, "pushButton_up")->text(), "up");
        QTEST(button(*page, "pushButton_down")->text(), "down");
        QCOMPARE(button(*page, "pushButton_up")->shortcut(), QKeySequence(Qt::Key_Left));
        QCOMPARE(button(*page, "pushButton_down")->shortcut(), QKeySequence(Qt::Key_Right));
    }

    // ---- Opening ----------------------------------------------------------------

    void opensAtTheAnsweredQuestion_data()
    {
        QTest::addColumn<int>("answered");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << 0 << QStringLiteral("1");
        QTest::newRow("ten") << 10 << QStringLiteral("10");
    }
    void opensAtTheAnsweredQuestion()
    {
        QFETCH(int, answered);
        Page page(131, 0, answered);
        QVERIFY(finishLoad(*page));
        QTEST(shownNumbers(*page), "shown");
        QCOMPARE(child<QLabel>(*page, "label_title")->text(), QStringLiteral("二十五题"));
        QCOMPARE(child<QLabel>(*page, "label_tatol")->text(), QStringLiteral("总题数:25"));
        QVERIFY(cellWidgets(*page).first()->findChild<QLabel *>(QStringLiteral("textEdit_title"))->text().contains(
            QStringLiteral("第%1题").arg(qMax(answered, 1))));
    }

    void ringFollowsTheAnswers()
    {
        sqlRow(QStringLiteral("update tQue set userStatus = '1', userAnswer = 'A' where queId between 5001 and 5010"));
        Page page(131, 0, 10);
        QVERIFY(finishLoad(*page));
        auto *ring = child<CRoundProcessBar>(*page, "progressBar_count");
        QVERIFY(pieReaches(ring, 10.0 / 25));
        // Question 10 was answered; question 11 is on the next page.
        button(*page, "pushButton_down")->click();
        QVERIFY(finishLoad(*page));
        QCOMPARE(shownNumbers(*page), QStringLiteral("11"));
        QVERIFY(answerCell(cellWidgets(*page).first()));
        QVERIFY(pieReaches(ring, 11.0 / 25));
    }

    // ---- Paging -----------------------------------------------------------------

    void paging_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        for (bool byKey : {false, true}) {
            const char *how = byKey ? "key" : "button";
            QTest::addRow("%s from 21", how) << 21 << byKey << QStringLiteral("21-25") << QStringLiteral("11-20");
            QTest::addRow("%s from 11", how) << 11 << byKey << QStringLiteral("11-20") << QStringLiteral("1-10");
            QTest::addRow("%s from 10", how) << 10 << byKey << QStringLiteral("10-19") << QStringLiteral("1-10");
            QTest::addRow("%s from 5", how) << 5 << byKey << QStringLiteral("5-14") << QStringLiteral("1-5");
        }
    }
    void paging()
    {
        QFETCH(int, first);
        QFETCH(bool, byKey);
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(131, 0, first);
        QVERIFY(finishLoad(*page));
        QTEST(shownNumbers(*page), "before");
        if (byKey) {
            page->show();
            QApplication::setActiveWindow(page.page.get());
            QVERIFY(QTest::qWaitForWindowActive(page.page.get()));
            QTest::keyClick(page.page.get(), Qt::Key_Left);
        } else {
            button(*page, "pushButton_up")->click();
        }
        QFETCH(QString, after);
        QTRY_COMPARE(shownNumbers(*page), after);
        if (byKey) {
            // And forward again with the other key.
            QTest::keyClick(page.page.get(), Qt::Key_Right);
            QTRY_VERIFY(shownNumbers(*page) != after);
            QVERIFY(shownNumbers(*page).startsWith(QString::number(after.section(QLatin1Char('-'), -1).toInt() + 1)));
        }
    }

    void firstPageGoesNoFurther()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(131);
        QVERIFY(finishLoad(*page));
        const int starts = worker(*page)->generation();
        QSignalSpy started(worker(*page), &DataToUiThreadClass::started);
        button(*page, "pushButton_up")->click();
        const QList<MyMessageBox *> boxes = windowsOf<MyMessageBox>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!boxes.first()->findChildren<QLabel *>().isEmpty());
        bool said = false;
        for (QLabel *label : boxes.first()->findChildren<QLabel *>())
            said = said || label->text() == QStringLiteral("已经是第一页了.");
        QVERIFY(said);
        boxes.first()->close();
        QCOMPARE(started.size(), 0);
        QCOMPARE(worker(*page)->generation(), starts);
        QCOMPARE(shownNumbers(*page), QStringLiteral("1-10"));
    }

    void nextOnTheLastPageSummarises()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(131, 0, 21);
        QVERIFY(finishLoad(*page));
        QSignalSpy started(worker(*page), &DataToUiThreadClass::started);
        button(*page, "pushButton_down")->click();
        QVERIFY(summaryText().contains(QStringLiteral("总题数:25")));
        QCOMPARE(started.size(), 0);
        // Every press makes a new one.
        button(*page, "pushButton_down")->click();
        QCOMPARE(windowsOf<ReturnQuestionsDialog>().size(), 2);
    }

    void countBelowOneIsOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("0") << QStringLiteral("0");
        QTest::newRow("abc") << QStringLiteral("abc");
        QTest::newRow("-3") << QStringLiteral("-3");
    }
    void countBelowOneIsOne()
    {
        QFETCH(QString, typed);
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(131, 0, 11);
        QVERIFY(finishLoad(*page));
        auto *entry = child<QLineEdit>(*page, "lineEdit");
        entry->clear();
        QTest::keyClicks(entry, typed);
        button(*page, "pushButton_cellcount")->click();
        QVERIFY(finishLoad(*page));
        QCOMPARE(shownNumbers(*page), QStringLiteral("11"));
        QCOMPARE(setting(QStringLiteral("questionCellCount")), QStringLiteral("1"));
        QCOMPARE(button(*page, "pushButton_down")->text(), QStringLiteral("下一题"));
        // Paging moves one question at a time.
        button(*page, "pushButton_down")->click();
        QVERIFY(finishLoad(*page));
        QCOMPARE(shownNumbers(*page), QStringLiteral("12"));
    }

    void sameCountReloadsNothing()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(131, 0, 21);
        QVERIFY(finishLoad(*page));
        QSignalSpy started(worker(*page), &DataToUiThreadClass::started);
        auto *entry = child<QLineEdit>(*page, "lineEdit");
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("5"));
        button(*page, "pushButton_cellcount")->click();
        QCOMPARE(started.size(), 0);
        QCOMPARE(setting(QStringLiteral("questionCellCount")), QStringLiteral("5"));
        QCOMPARE(button(*page, "pushButton_up")->text(), QStringLiteral("上一页"));
        button(*page, "pushButton_up")->click();
        QVERIFY(finishLoad(*page));
        QCOMPARE(shownNumbers(*page), QStringLiteral("16-20"));
    }

    // ---- Cells ------------------------------------------------------------------

    void cellOfEveryType_data()
    {
        QTest::addColumn<int>("cateId");
        QTest::addColumn<QStringList>("classes");
        QTest::addColumn<QString>("numbers");
        const QString choice = QStringLiteral("QuestionCellForm");
        QTest::newRow("111") << 111
                             << QStringList{choice, choice, choice, choice, choice, choice, QStringLiteral("B1CellForm"),
                                            QStringLiteral("B1CellForm")}
                             << QStringLiteral("1-8");
        // Type 9 sorts first and has no cell: number 1 is used up.
        QTest::newRow("112") << 112
                             << QStringList{QStringLiteral("BLANKCellForm"), QStringLiteral("YNCellForm"),
                                            QStringLiteral("SIMPLE_CASE_EXPLAINECellForm"),
                                            QStringLiteral("SIMPLE_CASE_EXPLAINECellForm"),
                                            QStringLiteral("SIMPLE_CASE_EXPLAINECellForm")}
                             << QStringLiteral("2-6");
    }
    void cellOfEveryType()
    {
        QFETCH(int, cateId);
        QFETCH(QStringList, classes);
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(cateId);
        QVERIFY(finishLoad(*page));
        QStringList seen;
        for (QWidget *cell : cellWidgets(*page))
            seen << cellClass(cell);
        QCOMPARE(seen, classes);
        QTEST(shownNumbers(*page), "numbers");
        // The cells span the reading area.
        page->show();
        QTRY_VERIFY(cellWidgets(*page).first()->width() > 700);
    }

    // A wheel notch over a shared-option box scrolls the page and answers nothing.
    void wheelOverSharedOptionBoxScrolls()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(111);
        QVERIFY(finishLoad(*page));
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*page));
        auto *group = qobject_cast<B1CellForm *>(cellWidgets(*page).last());
        QVERIFY(group);
        auto *area = child<QScrollArea>(*page, "scrollArea");
        QScrollBar *bar = area->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        const QString before = CellFixture::userData();
        const int logged = sqlCount(QStringLiteral("select count(*) from tQueLog"));
        for (B1CellOptionForm *sub : subQuestions(group)) {
            auto *box = sub->findChild<QComboBox *>(QStringLiteral("comboBox_answer"));
            area->ensureWidgetVisible(box, 0, 150);
            QCOMPARE(page->childAt(box->mapTo(&*page, box->rect().center())), box);
            QSignalSpy answers(sub, &B1CellOptionForm::sendAnswerState);
            const int item = box->currentIndex();
            const int start = bar->value();
            sendWheel(box, -1);
            const int down = bar->value();
            QVERIFY2(down > start || down == bar->maximum(), "the page did not scroll down");
            sendWheel(box, 1);
            QVERIFY2(bar->value() < down, "the page did not scroll up");
            QCOMPARE(box->currentIndex(), item);
            QCOMPARE(answers.count(), 0);
        }
        QCOMPARE(sqlCount(QStringLiteral("select count(*) from tQueLog")), logged);
        QCOMPARE(CellFixture::userData(), before);
    }

    void emptySet()
    {
        Page page(132);
        QVERIFY(finishLoad(*page));
        QVERIFY(cellWidgets(*page).isEmpty());
        QVERIFY(!pieReaches(child<CRoundProcessBar>(*page, "progressBar_count"), 0.1));
        button(*page, "pushButton_down")->click();
        QCOMPARE(summaryText(), QStringLiteral("这是最后一页了，您真棒!\n 总题数:0 正确:0 错误:0 未答:0"));
        QCOMPARE(windowsOf<ReturnQuestionsDialog>().last()->findChild<QPushButton *>(QStringLiteral("pushButton_next"))->text(),
                 QStringLiteral("下一节"));
    }

    // ---- Clock ------------------------------------------------------------------

    void clock_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("60") << 60 << QStringLiteral("计时:00:01:00");
        QTest::newRow("3600") << 3600 << QStringLiteral("计时:01:00:00");
        QTest::newRow("3661") << 3661 << QStringLiteral("计时:01:01:01");
    }
    void clock()
    {
        QFETCH(int, ticks);
        Page page;
        for (int i = 0; i < ticks; ++i)
            page->receiveTimeOut();
        QTEST(child<QLabel>(*page, "label_time")->text(), "shown");
    }

    // ---- Summary ----------------------------------------------------------------

    void summaryCounts()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 50);
        Page page(133, 0, 20);
        QVERIFY(finishLoad(*page));
        // Twenty answered: the page begins at question 20 and holds the rest.
        QCOMPARE(shownNumbers(*page), QStringLiteral("20-50"));
        button(*page, "pushButton_down")->click();
        QCOMPARE(summaryText(), QStringLiteral("这是最后一页了，您真棒!\n 总题数:50 正确:15 错误:5 未答:30"));
    }

    void summaryOfTheLastSet()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 25);
        Page page(131, 0);
        QVERIFY(finishLoad(*page));
        button(*page, "pushButton_down")->click();
        QVERIFY2(summaryText().startsWith(QStringLiteral("这是【呼吸系统】最后一章了，您真棒!")), qPrintable(summaryText()));
        auto *dialog = windowsOf<ReturnQuestionsDialog>().last();
        QSignalSpy closing(page.page.get(), &SingleQuestionModelFrom::sendQuestionsFormCloseEvent);
        QPushButton *cancel = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_next"));
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        cancel->click();
        QCOMPARE(closing.size(), 0);
    }

    void kindOfPractice_data()
    {
        QTest::addColumn<int>("cateId");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("kind");
        for (int type : {0, 1, 2}) {
            QTest::addRow("type %d, not last", type) << 132 << type << (type == 2 ? 2 : 0);
            QTest::addRow("type %d, last", type) << 131 << type << 1;
        }
    }
    void kindOfPractice()
    {
        QFETCH(int, cateId);
        QFETCH(int, type);
        QFETCH(int, kind);
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 25);
        LogCapture log;
        Page page(cateId, type);
        // 131 is the last set of its section.
        QVERIFY2(log.contains(QStringLiteral("pType: %1 pCateId: %2 lastcateId: 131").arg(kind).arg(cateId)),
                 qPrintable(log.lines().join(QLatin1Char('\n'))));
        QVERIFY(finishLoad(*page));
        button(*page, "pushButton_down")->click();
        auto *dialog = windowsOf<ReturnQuestionsDialog>().last();
        QSignalSpy closing(page.page.get(), &SingleQuestionModelFrom::sendQuestionsFormCloseEvent);
        dialog->findChild<QPushButton *>(QStringLiteral("pushButton_next"))->click();
        QCOMPARE(closing.size(), kind == 1 ? 0 : 1);
    }

    // ---- Reading settings -------------------------------------------------------

    void readingSettings()
    {
        Page page;
        page->show();
        QTest::mouseClick(button(*page, "pushButton_bk"), Qt::LeftButton);
        QList<CellBk *> pickers = windowsOf<CellBk>();
        QCOMPARE(pickers.size(), 1);
        QTest::mouseClick(pickers.first()->findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
        QTest::mouseClick(button(*page, "pushButton_font"), Qt::LeftButton);
        QList<FontBk *> fonts = windowsOf<FontBk>();
        QCOMPARE(fonts.size(), 1);
        QTest::mouseClick(fonts.first()->findChild<QPushButton *>(QStringLiteral("pushButton_1")), Qt::LeftButton);

        const QString area = child<QScrollArea>(*page, "scrollArea")->styleSheet();
        QVERIFY2(area.contains(QStringLiteral("rgb(227,225,218,255)")) && area.contains(QStringLiteral(" 14pt")),
                 qPrintable(area));
        QVERIFY(button(*page, "pushButton_bk")->styleSheet().contains(QStringLiteral("/bg3.png)")));
        QCOMPARE(setting(QStringLiteral("questioncolor")), QStringLiteral("227,225,218,255"));
        QCOMPARE(setting(QStringLiteral("questionfont")), QStringLiteral("14"));
        QCOMPARE(setting(QStringLiteral("questionbutton")), QStringLiteral("bg3.png"));
        // A second opening replaces the picker.
        QTest::mouseClick(button(*page, "pushButton_bk"), Qt::LeftButton);
        QCOMPARE(windowsOf<CellBk>().size(), 1);
        // And the next page opens with them.
        Page next;
        QVERIFY(child<QScrollArea>(*next, "scrollArea")->styleSheet().contains(QStringLiteral(" 14pt")));
    }

    void darkBackgroundGetsLightText_data()
    {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<bool>("light");
        QTest::newRow("bg6 white") << QStringLiteral("pushButton_6") << false;
        QTest::newRow("bg3") << QStringLiteral("pushButton_3") << false;
        QTest::newRow("bg8 dark") << QStringLiteral("pushButton_8") << true;
    }
    void darkBackgroundGetsLightText()
    {
        QFETCH(QString, swatch);
        Page page;
        page->show();
        QTest::mouseClick(button(*page, "pushButton_bk"), Qt::LeftButton);
        QTest::mouseClick(windowsOf<CellBk>().first()->findChild<QPushButton *>(swatch), Qt::LeftButton);
        const QString area = child<QScrollArea>(*page, "scrollArea")->styleSheet();
        QTEST(area.contains(QStringLiteral("color: rgb(230, 230, 230);")), "light");
    }

    void longSetNameEndsInAnEllipsis()
    {
        Page page;
        page->show();
        SqliteData row = setRow(131);
        row.text1 = QStringLiteral("慢性阻塞性肺疾病、支气管哮喘与支气管扩张症的诊断、鉴别诊断和治疗原则");
        page->startPractice(&row, 0, QStringLiteral("呼吸系统"));
        QVERIFY(finishLoad(*page));
        auto *title = child<QLabel>(*page, "label_title");
        QTRY_VERIFY(title->text().endsWith(QChar(0x2026)));
        QVERIFY(row.text1.startsWith(title->text().chopped(1)));
        QVERIFY(title->fontMetrics().horizontalAdvance(title->text()) <= title->width());
        QCOMPARE(title->toolTip(), row.text1);
    }

    void typeExplanationFollowsThePointer()
    {
        Page page;
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.page.get()));
        auto *label = child<QLabel>(*page, "label_typetext");
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(label, &enter);
        QList<InterpretationForm *> forms = windowsOf<InterpretationForm>();
        QCOMPARE(forms.size(), 1);
        const QPoint corner = label->mapToGlobal(QPoint(0, 0));
        QCOMPARE(forms.first()->pos(), QPoint(corner.x() + label->width() - 80, corner.y() + label->height() + 5));
        QPointer<InterpretationForm> form = forms.first();
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(label, &leave);
        QVERIFY(form.isNull());
    }

    // ---- Error reports ----------------------------------------------------------

    void errorReportsAreKindZero()
    {
        RecordingOpener opener;
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page page(111);
        QVERIFY(finishLoad(*page));
        page->show();
        QWidget *choice = cellWidgets(*page).first();
        QTest::mouseClick(choice->findChild<QPushButton *>(QStringLiteral("pushButton_error")), Qt::LeftButton);
        auto *group = qobject_cast<B1CellForm *>(cellWidgets(*page).last());
        QVERIFY(group);
        B1CellOptionForm *sub = subQuestions(group).first();
        emit sub->sendChangeError(1, 1009, QStringLiteral("易形成肺脓肿、脓胸的病原体是"));
        QCOMPARE(opener.reports.size(), 2);
        QCOMPARE(opener.reports.at(0).kind, 0);
        QCOMPARE(opener.reports.at(0).queId, 1001);
        QCOMPARE(opener.reports.at(0).skin, skin);
        QCOMPARE(opener.reports.at(1).kind, 0);
        QCOMPARE(opener.reports.at(1).queId, 1009);
    }

    // ---- Lifetime ---------------------------------------------------------------

    void hostDeletesThePageFromItsSignal_data()
    {
        QTest::addColumn<bool>("fromSummary");
        QTest::newRow("下一节") << true;
        QTest::newRow("返回") << false;
    }
    void hostDeletesThePageFromItsSignal()
    {
        QFETCH(bool, fromSummary);
        auto *page = new SingleQuestionModelFrom;
        QPointer<SingleQuestionModelFrom> alive = page;
        QList<int> models;
        connect(page, &SingleQuestionModelFrom::sendQuestionsFormCloseEvent, this, [&](int model) {
            models << model;
            alive->deleteLater();
        });
        page->setSkinColor(skin);
        SqliteData row = setRow(132);
        page->startPractice(&row, 0, QStringLiteral("呼吸系统"));
        QVERIFY(finishLoad(*page));
        page->show();
        if (fromSummary) {
            button(*page, "pushButton_down")->click();
            windowsOf<ReturnQuestionsDialog>().last()->findChild<QPushButton *>(QStringLiteral("pushButton_next"))->click();
        } else {
            QTest::mouseClick(button(*page, "pushButton_return"), Qt::LeftButton);
        }
        QCOMPARE(models, QList<int>{fromSummary ? 0 : 1});
        QTRY_VERIFY(alive.isNull());
    }

    void eachPageShowsItsOwnSet()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 10);
        Page first(111);
        Page second(112);
        QVERIFY(finishLoad(*first));
        QVERIFY(finishLoad(*second));
        QCoreApplication::processEvents();
        QCOMPARE(shownNumbers(*first), QStringLiteral("1-8"));
        QCOMPARE(shownNumbers(*second), QStringLiteral("2-6"));
        QCOMPARE(cellClass(cellWidgets(*second).first()), QStringLiteral("BLANKCellForm"));
        // A later load of one page leaves the other as it was.
        auto *entry = child<QLineEdit>(*first, "lineEdit");
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("3"));
        button(*first, "pushButton_cellcount")->click();
        QVERIFY(finishLoad(*first));
        QCoreApplication::processEvents();
        QCOMPARE(shownNumbers(*first), QStringLiteral("1-3"));
        QCOMPARE(shownNumbers(*second), QStringLiteral("2-6"));
    }

    void pageDeletedWhileItsListTravels()
    {
        ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 25);
        for (bool waitForTheJob : {true, false, false}) {
            Page page(131);
            // A finished job's list waits in the queue: no events run here.
            if (waitForTheJob)
                QVERIFY(worker(*page)->wait(generousWait));
            page.page.reset();
        }
        // LeakSanitizer finds the records of a list that was dropped.
        QCoreApplication::processEvents();
    }

private:
    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<CellFixture> fixture;
};

QTEST_MAIN(TestSingleQuestionModelFrom)
#include "tst_singlequestionmodelfrom.moc"
