// The simulated-exam set-up page: its chapter tree from the worker, the
// ticks written to the bank, the type table, and the start with its messages.
#include "SimulatedExaminatinWidget.h"

#include "FixtureBank.h"
#include "LogCapture.h"
#include "MyMessageBox.h"
#include "NewTalkExamForm.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int loadWait = 30000;

struct Session
{
    TempWorkDir dir;
    FixtureBank bank;

    bool open(const QString &sql = QString())
    {
        if (!sql.isEmpty())
            bank.addSql(sql);
        if (!bank.open()) {
            qWarning() << bank.error();
            return false;
        }
        SqliteClass *store = SqliteClass::instance();
        return store->openDatabase(bank.path(), phrase, 0) == 2 && store->loadQuestionTypes() == 0;
    }
    ~Session()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<NewTalkExamForm *>(w))
                delete window;
        }
        delete SqliteClass::instance();
    }
};

QTreeWidget *chapterTree(SimulatedExaminatinWidget *page) { return page->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }
QTableWidget *table(SimulatedExaminatinWidget *page)
{
    return page->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
}
WaitingForm *overlay(SimulatedExaminatinWidget *page) { return page->findChild<WaitingForm *>(); }

bool loaded(SimulatedExaminatinWidget *page)
{
    return QTest::qWaitFor([page] { return overlay(page) && overlay(page)->isHidden(); }, loadWait);
}

QTreeWidgetItem *findChapter(QTreeWidget *tree, const QString &id)
{
    const auto found = tree->findItems(id, Qt::MatchExactly | Qt::MatchRecursive, 1);
    return found.isEmpty() ? nullptr : found.first();
}

void clickItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
}

QString chosenInBank(const QString &id)
{
    const QStringList row = sqlRow(QStringLiteral("SELECT choose FROM tCate WHERE cateId = ?"), {id.toInt()});
    return row.value(0);
}

MyMessageBox *messageBox()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<MyMessageBox *>(w); box && box->isVisible())
            return box;
    }
    return nullptr;
}

QString messageText()
{
    MyMessageBox *box = messageBox();
    if (!box)
        return QString();
    QStringList texts;
    for (QLabel *label : box->findChildren<QLabel *>())
        texts << label->text();
    return texts.join(QLatin1Char('|'));
}

NewTalkExamForm *examWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<NewTalkExamForm *>(w))
            return window;
    }
    return nullptr;
}

struct Page
{
    std::unique_ptr<SimulatedExaminatinWidget> page;
    Page()
        : page(new SimulatedExaminatinWidget)
    {
        page->setSkinColor(QStringLiteral("80,153,2,255"));
        page->resize(800, 450);
        page->show();
    }
    ~Page()
    {
        if (MyMessageBox *box = messageBox())
            box->hide();
    }
};

} // namespace

class TestSimulatedExaminatinWidget : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void tree();
    void ticks_data();
    void ticks();
    void clicks_data();
    void clicks();
    void childlessChapterWritesNothing();
    void typeTable();
    void cornerCellLikeHeader();
    void start_data();
    void start();
    void startWhileExamOpen();
    void startOpensExam();
    void failedChapterQuery();
};

void TestSimulatedExaminatinWidget::form()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    auto *button = p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam"));
    QCOMPARE(button->text(), QStringLiteral("开始考试"));
    QCOMPARE(button->minimumSize(), QSize(250, 55));
    QCOMPARE(button->maximumSize(), QSize(250, 55));
    QVERIFY(overlay(p.page.get()));
    QCOMPARE(overlay(p.page.get())->geometry(), p.page->rect());
    QVERIFY(loaded(p.page.get()));
    p.page->resize(1024, 600);
    QCOMPARE(overlay(p.page.get())->geometry(), QRect(0, 0, 1024, 600));
    QCOMPARE(button->size(), QSize(250, 55));
    QCOMPARE(p.page->findChild<QWidget *>(QStringLiteral("widget"))->height(), 45);
    QCOMPARE(table(p.page.get())->horizontalHeaderItem(0)->text(), QStringLiteral("题型"));
    QCOMPARE(table(p.page.get())->horizontalHeaderItem(1)->text(), QStringLiteral("数量"));
    QVERIFY(chapterTree(p.page.get())->isHeaderHidden());
    QCOMPARE(chapterTree(p.page.get())->columnCount(), 4);
    QVERIFY(chapterTree(p.page.get())->columnWidth(0) >= 300);
    QCOMPARE(chapterTree(p.page.get())->columnWidth(1), 1);
    QCOMPARE(chapterTree(p.page.get())->focusPolicy(), Qt::NoFocus);
    QVERIFY(button->styleSheet().contains(QStringLiteral("rgb(80,153,2,255)")));
    QVERIFY(button->styleSheet().contains(QStringLiteral("rgb(100,173,2,255)")));
}

void TestSimulatedExaminatinWidget::tree()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTreeWidget *t = chapterTree(p.page.get());
    // Top chapters by ord; the childless chapter 3 and section 13 still show.
    QCOMPARE(t->topLevelItemCount(), 3);
    QStringList tops;
    for (int i = 0; i < 3; ++i)
        tops << t->topLevelItem(i)->text(0) + QLatin1Char('/') + t->topLevelItem(i)->text(1);
    QCOMPARE(tops, (QStringList{"药理学/2", "内科学/1", "空章节/3"}));
    QTreeWidgetItem *medicine = t->topLevelItem(1);
    QCOMPARE(medicine->childCount(), 3);
    QCOMPARE(medicine->child(0)->text(0), QStringLiteral("循环系统"));
    QCOMPARE(medicine->child(0)->toolTip(0), QStringLiteral("循环系统"));
    QVERIFY(medicine->toolTip(0).isEmpty());
    QCOMPARE(medicine->child(2)->childCount(), 0);
    QVERIFY(medicine->isExpanded());
    QTreeWidgetItem *breathing = medicine->child(1);
    QVERIFY(breathing->isExpanded());
    QCOMPARE(breathing->childCount(), 2);
    QCOMPARE(breathing->child(0)->text(1), QStringLiteral("112"));
    QTreeWidgetItem *leaf = breathing->child(1);
    QCOMPARE(leaf->text(0), QStringLiteral("呼吸练习一"));
    const int count = sqlCount(QStringLiteral("SELECT count(*) FROM tQue q JOIN tCateList l ON q.cateListId = "
                                              "l.cateListId WHERE l.cateId = 111 AND q.IsDel = 0"));
    QVERIFY(count > 0);
    QCOMPARE(leaf->toolTip(0), QStringLiteral("呼吸练习一 共<font color=\"#00aaff\">%1</font>题").arg(count));
    QVERIFY(!leaf->icon(0).isNull());
    // No tick mark above the leaves.
    QVERIFY(breathing->icon(0).isNull());
}

void TestSimulatedExaminatinWidget::ticks_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("state");
    QTest::newRow("0") << "0" << false << "0";
    QTest::newRow("1") << "1" << true << "1";
    QTest::newRow("2") << "2" << true << "2";
    QTest::newRow("7") << "7" << false << "0";
}

void TestSimulatedExaminatinWidget::ticks()
{
    QFETCH(QString, stored);
    QFETCH(bool, ticked);
    QFETCH(QString, state);
    Session s;
    QVERIFY(s.open(QStringLiteral("UPDATE tCate SET choose = '%1' WHERE cateId = 121").arg(stored)));
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTreeWidgetItem *leaf = findChapter(chapterTree(p.page.get()), QStringLiteral("121"));
    QVERIFY(leaf);
    QCOMPARE(leaf->text(2), state);
    const QString mark = ticked ? QStringLiteral(":/QuestionCell/images/QuestionCell/checkboxon.png")
                                : QStringLiteral(":/QuestionCell/images/QuestionCell/checkbox.png");
    QCOMPARE(leaf->icon(0).pixmap(16).toImage(), QIcon(mark).pixmap(16).toImage());
}

void TestSimulatedExaminatinWidget::clicks_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("after");
    QTest::newRow("0 ticks") << "0" << "1";
    QTest::newRow("1 unticks") << "1" << "0";
    QTest::newRow("2 stays") << "2" << "2";
}

void TestSimulatedExaminatinWidget::clicks()
{
    QFETCH(QString, stored);
    QFETCH(QString, after);
    Session s;
    QVERIFY(s.open(QStringLiteral("UPDATE tCate SET choose = '%1' WHERE cateId = 121").arg(stored)));
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTreeWidgetItem *leaf = findChapter(chapterTree(p.page.get()), QStringLiteral("121"));
    QVERIFY(leaf);
    // The bank holds something else, so that a write of 2 shows.
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("UPDATE tCate SET choose = '9' WHERE cateId = 121")), 0);
    clickItem(chapterTree(p.page.get()), leaf);
    QCOMPARE(leaf->text(2), after);
    QCOMPARE(chosenInBank(QStringLiteral("121")), after);
}

void TestSimulatedExaminatinWidget::childlessChapterWritesNothing()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTreeWidget *t = chapterTree(p.page.get());
    for (const QString &id : {QStringLiteral("3"), QStringLiteral("13")}) {
        QTreeWidgetItem *item = findChapter(t, id);
        QVERIFY(item);
        clickItem(t, item);
        QCOMPARE(chosenInBank(id), QStringLiteral("1"));
        QVERIFY(item->text(2).isEmpty());
    }
    // A section with children folds and unfolds instead.
    QTreeWidgetItem *section = findChapter(t, QStringLiteral("11"));
    QVERIFY(section->isExpanded());
    clickItem(t, section);
    QVERIFY(!section->isExpanded());
    clickItem(t, section);
    QVERIFY(section->isExpanded());
}

void TestSimulatedExaminatinWidget::typeTable()
{
    Session s;
    QVERIFY(s.open(QStringLiteral("UPDATE tQueType SET exam_count = 0 WHERE queTypeId = 6")));
    QList<int> order;
    QCOMPARE(SqliteClass::instance()->questionTypesInBank(order), 0);
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTableWidget *t = table(p.page.get());
    const QMap<int, QString> names{{1, "单项选择题(A1型题)"}, {2, "单项选择题(A2型题)"}, {3, "共用题干单选题(A3型题)"},
                                   {4, "案例分析题(A4型题)"},  {6, "多项选择题(X型题)"},  {7, "配伍题(B1型题)"}};
    QStringList expectedNames;
    QStringList expectedValues;
    for (const int type : order) {
        if (!names.contains(type))
            continue;
        expectedNames << names.value(type);
        QueTypeData *data = nullptr;
        SqliteClass::instance()->questionType(data, type);
        const int stored = sqlCount(QStringLiteral("SELECT exam_count FROM tQueType WHERE queTypeId = ?"), {type});
        expectedValues << QString::number(stored == 0 ? 5 : stored);
    }
    QVERIFY(expectedNames.size() >= 2);
    QVERIFY(expectedValues.contains(QStringLiteral("5")));
    QStringList shownNames;
    QStringList shownValues;
    for (int row = 0; row < t->rowCount(); ++row) {
        shownNames << t->item(row, 0)->text();
        shownValues << qobject_cast<QLineEdit *>(t->cellWidget(row, 1))->text();
        QCOMPARE(t->item(row, 2)->text(), QStringLiteral("题"));
    }
    QCOMPARE(shownNames, expectedNames);
    QCOMPARE(shownValues, expectedValues);
    // On the smallest page the columns fit: no sideways scrolling.
    QTRY_COMPARE(t->horizontalHeader()->length(), t->viewport()->width());
    QCOMPARE(t->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(t->columnWidth(0), 200);
    QCOMPARE(t->columnWidth(1), 100);

    auto *field = qobject_cast<QLineEdit *>(t->cellWidget(0, 1));
    field->clear();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("1a2-b"));
    QCOMPARE(field->text(), QStringLiteral("12"));
    QCOMPARE(field->alignment(), Qt::AlignCenter);
}

void TestSimulatedExaminatinWidget::cornerCellLikeHeader()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTableWidget *t = table(p.page.get());
    QHeaderView *top = t->horizontalHeader();
    QHeaderView *side = t->verticalHeader();
    QVERIFY(side->isVisible());
    const QImage shot = t->grab().toImage();
    // Inside the borders, away from the header texts.
    const QColor header = shot.pixelColor(top->mapTo(t, QPoint(top->sectionViewportPosition(2) + 4, 4)));
    const QColor corner = shot.pixelColor(side->width() / 2, top->height() / 2);
    QCOMPARE(corner.name(), header.name());
}

void TestSimulatedExaminatinWidget::start_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("counts"); // typed into every field; "-" keeps the first values
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("storedCount");
    QTest::newRow("all 0") << QString() << "0" << "题目数量不能全为0." << 0;
    QTest::newRow("all empty") << QString() << "" << "题目数量不能全为0." << 0;
    QTest::newRow("no ticked leaf") << "UPDATE tCate SET choose = '2' WHERE choose = '1'"
                                    << "3" << "请勾选章节." << 3;
    QTest::newRow("no exam types") << "DELETE FROM tQueType WHERE queTypeId IN (1, 2, 3, 4, 6, 7)"
                                   << "-" << "题目数量不能全为0." << -1;
    // Too many digits for an int: the field keeps what it can read.
    QTest::newRow("ten digits typed") << "UPDATE tCate SET choose = '0'" << "9999999999" << "请勾选章节." << 999;
}

void TestSimulatedExaminatinWidget::start()
{
    QFETCH(QString, sql);
    QFETCH(QString, counts);
    QFETCH(QString, message);
    QFETCH(int, storedCount);
    Session s;
    QVERIFY(s.open(sql));
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTableWidget *t = table(p.page.get());
    if (storedCount == -1)
        QCOMPARE(t->rowCount(), 0);
    if (counts != QLatin1String("-")) {
        for (int row = 0; row < t->rowCount(); ++row) {
            auto *field = qobject_cast<QLineEdit *>(t->cellWidget(row, 1));
            field->clear();
            field->setFocus();
            QTest::keyClicks(field, counts);
        }
    }
    QTest::mouseClick(p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam")), Qt::LeftButton);
    QTRY_VERIFY(messageText().contains(message));
    QVERIFY(!examWindow());
    QVERIFY(!SqliteClass::instance()->isExamWindowOpen());
    if (storedCount >= 0)
        QCOMPARE(sqlCount(QStringLiteral("SELECT exam_count FROM tQueType WHERE queTypeId = 1")), storedCount);
}

void TestSimulatedExaminatinWidget::startWhileExamOpen()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    QVERIFY(loaded(p.page.get()));
    SqliteClass::instance()->setExamWindowOpen(true);
    qobject_cast<QLineEdit *>(table(p.page.get())->cellWidget(0, 1))->setText(QStringLiteral("9"));
    QTest::mouseClick(p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam")), Qt::LeftButton);
    QTRY_VERIFY(messageText().contains(QStringLiteral("不能同时打开两个考试窗口.")));
    QVERIFY(sqlCount(QStringLiteral("SELECT count(*) FROM tQueType WHERE exam_count = 9")) == 0);
    QVERIFY(!examWindow());
    SqliteClass::instance()->setExamWindowOpen(false);
}

void TestSimulatedExaminatinWidget::startOpensExam()
{
    Session s;
    QVERIFY(s.open());
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTableWidget *t = table(p.page.get());
    for (int row = 0; row < t->rowCount(); ++row)
        qobject_cast<QLineEdit *>(t->cellWidget(row, 1))->setText(QString::number(row + 1));
    const QString firstName = t->item(0, 0)->text();
    QTest::mouseClick(p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam")), Qt::LeftButton);
    NewTalkExamForm *window = examWindow();
    QVERIFY(window);
    QVERIFY(SqliteClass::instance()->isExamWindowOpen());
    QCOMPARE(window->windowTitle(), QStringLiteral("模拟考场"));
    QVERIFY(!messageBox());
    // Every count stored, in row order.
    QList<int> order;
    QCOMPARE(SqliteClass::instance()->questionTypesInBank(order), 0);
    int row = 0;
    for (const int type : order) {
        if (!QList<int>{1, 2, 3, 4, 6, 7}.contains(type))
            continue;
        QCOMPARE(sqlCount(QStringLiteral("SELECT exam_count FROM tQueType WHERE queTypeId = ?"), {type}), row + 1);
        ++row;
    }
    QCOMPARE(row, t->rowCount());
    // The window shows the page's part names on its card.
    QTRY_VERIFY_WITH_TIMEOUT(!window->findChildren<QLabel *>().isEmpty(), loadWait);
    bool named = false;
    for (QLabel *label : window->findChildren<QLabel *>())
        named = named || label->text().contains(firstName);
    QVERIFY(named);
    // A second start while it is open is refused.
    QTest::mouseClick(p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam")), Qt::LeftButton);
    QTRY_VERIFY(messageText().contains(QStringLiteral("不能同时打开两个考试窗口.")));
}

void TestSimulatedExaminatinWidget::failedChapterQuery()
{
    Session s;
    QVERIFY(s.open(QStringLiteral("DROP TABLE tQue")));
    LogCapture log;
    Page p;
    QVERIFY(loaded(p.page.get()));
    QTreeWidget *t = chapterTree(p.page.get());
    // Levels 1 and 2 arrived, the first set query failed: no leaf.
    QCOMPARE(t->topLevelItemCount(), 3);
    QCOMPARE(t->topLevelItem(0)->childCount(), 1);
    QCOMPARE(t->topLevelItem(0)->child(0)->childCount(), 0);
    QVERIFY(log.contains(QStringLiteral("no such table")));
    // The page can be used: the start finds no ticked chapter.
    QTest::mouseClick(p.page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam")), Qt::LeftButton);
    QTRY_VERIFY(messageText().contains(QStringLiteral("请勾选章节.")));
}

QTEST_MAIN(TestSimulatedExaminatinWidget)
#include "tst_simulatedexaminatinwidget.moc"
