// The exam syllabus page: the tree built from examOutline (each row once,
// under its nearest ancestor), the text of a node in the embedded viewer,
// revisits and failed reads.
#include "ExamOutlineWidget.h"

#include "FixtureBank.h"
#include "LogCapture.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "StudyBank.h"
#include "TempWorkDir.h"
#include "ViewReport.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString green = QStringLiteral("80,153,2,255");

template <class T>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QTreeWidget *tree(ExamOutlineWidget &page)
{
    return child<QTreeWidget>(&page, "treeWidget");
}

QString viewerText(ExamOutlineWidget &page)
{
    return child<QTextEdit>(child<ViewReport>(&page, "widget_view"), "textEdit")->toPlainText();
}

// One line per item, "id content", indented two blanks per level.
void dump(QTreeWidgetItem *item, int level, QStringList &lines)
{
    lines << QString(level * 2, QLatin1Char(' ')) + item->text(1) + QLatin1Char(' ') + item->text(0);
    for (int i = 0; i < item->childCount(); ++i)
        dump(item->child(i), level + 1, lines);
}

QStringList dump(QTreeWidget *view)
{
    QStringList lines;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        dump(view->topLevelItem(i), 0, lines);
    return lines;
}

bool anyExpanded(QTreeWidgetItem *item)
{
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->isExpanded() || anyExpanded(item->child(i)))
            return true;
    }
    return false;
}

QTreeWidgetItem *findItem(QTreeWidgetItem *item, const QString &id)
{
    if (item->text(1) == id)
        return item;
    for (int i = 0; i < item->childCount(); ++i) {
        if (QTreeWidgetItem *found = findItem(item->child(i), id))
            return found;
    }
    return nullptr;
}

// By the id the item carries beside its one visible column.
QTreeWidgetItem *findItem(ExamOutlineWidget &page, const QString &id)
{
    return findItem(tree(page)->invisibleRootItem(), id);
}

// Unfolds the item's ancestors as a user would, then clicks it.
void clickNode(ExamOutlineWidget &page, const QString &id)
{
    QTreeWidgetItem *item = findItem(page, id);
    QVERIFY2(item, qPrintable(id));
    QTreeWidget *view = tree(page);
    for (QTreeWidgetItem *up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    view->scrollToItem(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

// A bank with nothing but the schema and the given syllabus rows.
struct OutlineOnlyBank
{
    explicit OutlineOnlyBank(const QString &sql)
    {
        bank.setSchemaOnly().addSql(sql);
        opened = bank.open()
                 && SqliteClass::instance()->openDatabase(bank.path(),
                                                          QString::fromLatin1(FixtureBank::builtinPhrase()), 0)
                        == 2;
    }
    ~OutlineOnlyBank() { SqliteClass::instance()->closeDatabase(); }

    TempWorkDir workDir;
    FixtureBank bank;
    bool opened = false;
};

// The page on a fixture bank, 800 × 500 on screen, its tree loaded.
struct PageOnBank
{
    explicit PageOnBank(const QString &sql = QString()) : bank(sql)
    {
        page.resize(800, 500);
        page.setSkinColor(green);
        page.show();
        page.loadTree();
    }

    StudyBank bank;
    ExamOutlineWidget page;
};

} // namespace

class TestExamOutlineWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void form();
    void fixtureTree();
    void placement_data();
    void placement();
    void longLinesWrap();
    void nodeClicks();
    void topItemOnlyFolds();
    void revisit();
    void failedTreeRead();
    void failedNodeRead();
};

void TestExamOutlineWidget::initTestCase()
{
    initResources();
}

void TestExamOutlineWidget::form()
{
    StudyBank bank;
    QVERIFY2(bank.isOpen(), qPrintable(bank.error()));
    ExamOutlineWidget page;
    page.setSkinColor(green);
    page.show();
    // Nothing is read before the first visit.
    QCOMPARE(dump(tree(page)), QStringList{" 新建项目"});
    auto *viewer = child<ViewReport>(&page, "widget_view");
    QVERIFY(!viewer->isWindow());
    QVERIFY(child<QWidget>(viewer, "widget")->isHidden());
    QVERIFY(child<QComboBox>(viewer, "fontComboBox")->styleSheet().contains(QStringLiteral("rgb(%1)").arg(green)));
    QCOMPARE(child<QLabel>(&page, "label_new_4")->text().contains(QStringLiteral("考试指南")), true);
    QCOMPARE(child<QLabel>(&page, "label_new_5")->text().contains(QStringLiteral("指南内容")), true);
}

void TestExamOutlineWidget::fixtureTree()
{
    PageOnBank fixture;
    QTreeWidget *view = tree(fixture.page);
    QCOMPARE(view->columnCount(), 1);
    // The third level once, below its own parent only; 001002 is marked as
    // a node without children.
    QCOMPARE(dump(view), (QStringList{"001 第一单元 呼吸系统疾病",
                                      "  001001 慢性阻塞性肺疾病",
                                      "    001001001 病因和发病机制：吸烟、感染、空气污染。",
                                      "    001001002 临床表现[img50.png]",
                                      "  001002 支气管哮喘",
                                      "002 第二单元 药理学总论",
                                      "  002001 药物代谢动力学"}));
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QVERIFY(!view->topLevelItem(i)->isExpanded());
        QVERIFY(!anyExpanded(view->topLevelItem(i)));
    }
}

void TestExamOutlineWidget::placement_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("ids of several lengths below one top item")
        << QStringLiteral("('001', '总', ''), ('00101', '甲', ''), ('00102', '乙', ''), ('0011', '丙', '')")
        << QStringList{"001 总", "  00101 甲", "  00102 乙", "  0011 丙"};
    QTest::newRow("four levels")
        << QStringLiteral("('001', '一', ''), ('001001', '二', ''), ('001001001', '三', ''), "
                          "('001001001001', '四', '1')")
        << QStringList{"001 一", "  001001 二", "    001001001 三", "      001001001001 四"};
    // Where the row had been listed besides (the parent's own read is skipped).
    QTest::newRow("below a node marked as without children")
        << QStringLiteral("('001', '一', ''), ('001001', '二', '1'), ('001001001', '三', '1')")
        << QStringList{"001 一", "  001001 二", "  001001001 三"};
    QTest::newRow("only the first two characters 00 make a top item")
        << QStringLiteral("('010', '非顶层', ''), ('0011', '孤', ''), ('002', '二', '')")
        << QStringList{"002 二"};
    QTest::newRow("no rows") << QString() << QStringList();
}

void TestExamOutlineWidget::placement()
{
    QFETCH(QString, rows);
    QFETCH(QStringList, tree);
    OutlineOnlyBank bank(rows.isEmpty() ? QString()
                                        : QStringLiteral("INSERT INTO examOutline (id, content, isLeaf) VALUES %1;")
                                              .arg(rows));
    QVERIFY2(bank.opened, qPrintable(bank.bank.error()));
    ExamOutlineWidget page;
    page.loadTree();
    QCOMPARE(dump(::tree(page)), tree);
}

// A syllabus line longer than the pane takes several lines, and fewer when
// the pane is widened.
void TestExamOutlineWidget::longLinesWrap()
{
    const QString line = QStringLiteral("病因与发病机制：吸烟、职业粉尘和化学物质、空气污染、感染及蛋白酶-抗蛋白酶失衡。");
    PageOnBank fixture(QStringLiteral("UPDATE examOutline SET content = '%1' WHERE id = '001002';").arg(line));
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *splitter = child<QSplitter>(&page, "splitter");
    splitter->setSizes({240, 560});
    QTreeWidget *view = tree(page);
    findItem(page, QStringLiteral("001"))->setExpanded(true);
    QTreeWidgetItem *longItem = findItem(page, QStringLiteral("001002"));
    QTreeWidgetItem *shortItem = findItem(page, QStringLiteral("001001"));
    const int oneLine = view->visualItemRect(shortItem).height();
    QTRY_VERIFY(view->visualItemRect(longItem).height() >= 2 * oneLine);
    const int narrowHeight = view->visualItemRect(longItem).height();
    // The whole line is painted: no ellipsis in the pixels' place.
    QVERIFY(view->visualItemRect(longItem).width() < view->fontMetrics().horizontalAdvance(line));

    // The viewer keeps the width of its tool row.
    page.resize(1600, 500);
    splitter->setSizes({1000, 600});
    QTRY_VERIFY2(view->visualItemRect(longItem).height() < narrowHeight,
                 qPrintable(QStringLiteral("%1 wide, %2 high").arg(view->width()).arg(view->visualItemRect(longItem).height())));
    QCOMPARE(view->horizontalScrollBar()->isVisible(), false);
}

void TestExamOutlineWidget::nodeClicks()
{
    PageOnBank fixture(QStringLiteral("INSERT INTO examOutline (id, content, isLeaf) VALUES ('002002', '', '1');"));
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickNode(page, QStringLiteral("001001"));
    QCOMPARE(viewerText(page), QStringLiteral("慢性阻塞性肺疾病"));
    clickNode(page, QStringLiteral("001001001"));
    QCOMPARE(viewerText(page), QStringLiteral("病因和发病机制：吸烟、感染、空气污染。"));
    clickNode(page, QStringLiteral("002002"));
    QCOMPARE(viewerText(page), QString());
    clickNode(page, QStringLiteral("002001"));
    QCOMPARE(viewerText(page), QStringLiteral("药物代谢动力学"));
}

void TestExamOutlineWidget::topItemOnlyFolds()
{
    PageOnBank fixture;
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickNode(page, QStringLiteral("002001"));
    QTreeWidgetItem *top = findItem(page, QStringLiteral("001"));
    QVERIFY(top);
    QTreeWidget *view = tree(page);
    QVERIFY(!top->isExpanded());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(top).center());
    QVERIFY(top->isExpanded());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(top).center());
    QVERIFY(!top->isExpanded());
    QCOMPARE(viewerText(page), QStringLiteral("药物代谢动力学"));
}

void TestExamOutlineWidget::revisit()
{
    PageOnBank fixture;
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickNode(page, QStringLiteral("001001002"));
    const QStringList before = dump(tree(page));
    // The main window's visit: the skin, then the tree again.
    page.setSkinColor(green);
    page.loadTree();
    QCOMPARE(dump(tree(page)), before);
    for (int i = 0; i < tree(page)->topLevelItemCount(); ++i)
        QVERIFY(!tree(page)->topLevelItem(i)->isExpanded() && !anyExpanded(tree(page)->topLevelItem(i)));
    QCOMPARE(viewerText(page), QStringLiteral("临床表现[img50.png]"));
}

void TestExamOutlineWidget::failedTreeRead()
{
    PageOnBank fixture;
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(tree(page)->topLevelItemCount() > 0);
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("DROP TABLE examOutline")), 0);
    LogCapture log;
    page.loadTree();
    QCOMPARE(tree(page)->topLevelItemCount(), 0);
    QVERIFY2(log.contains(QStringLiteral("[Error:]")), qPrintable(log.lines().join(QLatin1Char('\n'))));
}

void TestExamOutlineWidget::failedNodeRead()
{
    PageOnBank fixture;
    ExamOutlineWidget &page = fixture.page;
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    clickNode(page, QStringLiteral("001001"));
    QCOMPARE(SqliteClass::instance()->execSql(QStringLiteral("DROP TABLE examOutline")), 0);
    LogCapture log;
    clickNode(page, QStringLiteral("002001"));
    QCOMPARE(viewerText(page), QStringLiteral("慢性阻塞性肺疾病"));
    QVERIFY2(log.contains(QStringLiteral("[Error:]")), qPrintable(log.lines().join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestExamOutlineWidget)
#include "tst_examoutlinewidget.moc"
