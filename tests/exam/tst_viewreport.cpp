// The report viewer: its form, the whole-text tools, the stored colours,
// stored HTML, chapter listings on the worker, and the mouse.
#include "ViewReport.h"
#include "ViewReport2.h"

#include "ConfigIni.h"
#include "DialogAnswerer.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "QueTypeData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "WaitingForm.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSemaphore>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const int generousWait = 60000;

// A chapter made for the listing: answers whose letters run against the
// option order, a two-letter option name, a letter no option has, a group
// whose only question is deleted between two groups, a shared stem, a type
// between two runs of type 1, and a type the bank does not describe.
const char listingChapterSql[] = R"(
INSERT INTO tCate (cateId, cateName, faId, ord, choose) VALUES (131, '答案顺序', 13, 1, '1');
INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) VALUES
  (301, 131, 1, '', 1), (306, 131, 1, '空组', 2), (302, 131, 1, '', 3),
  (303, 131, 3, '共用题干', 4), (304, 131, 1, '', 5), (305, 131, 9, '', 6);
INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime, userStatus) VALUES
  (3001, 301, '第一题', 'CA', '', '0', 1, 'L1', '2015-06-01 08:00:00', '0'),
  (3006, 306, '删除题', 'A', '', '1', 1, 'L6', '2015-06-01 08:00:00', '0'),
  (3002, 302, '第二题', 'AC', '', '0', 1, 'L2', '2015-06-01 08:00:00', '0'),
  (3003, 303, '第三题', 'B', '', '0', 1, 'L3', '2015-06-01 08:00:00', '0'),
  (3004, 303, '第四题', 'X', '', '0', 2, 'L4', '2015-06-01 08:00:00', '0'),
  (3005, 304, '第五题', 'A', '', '0', 1, 'L5', '2015-06-01 08:00:00', '0'),
  (3007, 305, '未知题型', 'A', '', '0', 1, 'L7', '2015-06-01 08:00:00', '0');
INSERT INTO tQueOpt (optName, optText, queId) VALUES
  ('A', '甲', 3001), ('B', '乙', 3001), ('C', '丙', 3001), ('AC', '两字', 3001),
  ('A', '甲', 3002), ('B', '乙', 3002), ('C', '丙', 3002), ('AC', '两字', 3002),
  ('A', '甲', 3003), ('B', '乙', 3003),
  ('A', '甲', 3004), ('B', '乙', 3004),
  ('A', '甲', 3005), ('B', '乙', 3005),
  ('A', '甲', 3007);
)";

using Check = std::function<bool(const QTextCharFormat &, const QTextBlockFormat &)>;

template<typename T>
T *part(const QWidget &viewer, const char *name)
{
    T *found = viewer.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

QTextEdit *textOf(const ViewReport &viewer)
{
    return part<QTextEdit>(viewer, "textEdit");
}

QString memo(int queTypeId)
{
    QueTypeData *type = nullptr;
    SqliteClass::instance()->questionType(type, queTypeId);
    return type ? type->memo : QString();
}

// The text chapter 131 lists, paragraph by paragraph.
QStringList listingOf131()
{
    const QString newLine = QStringLiteral("\n");
    return {QStringLiteral("  ") + memo(1), QString(), QStringLiteral("\t(1) 第一题"),
            QStringLiteral("\t\t●丙"), QStringLiteral("\t\t●甲"), newLine,
            QString(), QStringLiteral("\t(1) 第二题"), QStringLiteral("\t\t●甲"), QStringLiteral("\t\t●丙"), newLine,
            QStringLiteral("  ") + memo(3), QStringLiteral("共用题干"), QStringLiteral("\t(1) 第三题"),
            QStringLiteral("\t\t●乙"), newLine, QStringLiteral("\t(2) 第四题"), newLine,
            QStringLiteral("  ") + memo(1), QString(), QStringLiteral("\t(1) 第五题"), QStringLiteral("\t\t●甲"), newLine,
            QStringLiteral("  "), QString(), QStringLiteral("\t(1) 未知题型"), QStringLiteral("\t\t●甲"), newLine};
}

// Every character of the text passes the check, and the cursor is at the
// start without a selection.
void verifyWholeText(const QTextEdit *edit, const Check &check)
{
    QVERIFY(!edit->document()->isEmpty());
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QVERIFY2(check(it.fragment().charFormat(), block.blockFormat()), qPrintable(it.fragment().text()));
    QCOMPARE(edit->textCursor().position(), 0);
    QVERIFY(!edit->textCursor().hasSelection());
}

QColor swatchOf(const QAbstractButton *button)
{
    return button->icon().pixmap(16, 16).toImage().pixelColor(8, 8);
}

// A family other than the viewer's: the font list must really change.
QString otherFamily()
{
    const QStringList families = QFontDatabase().families();
    return families.contains(QStringLiteral("DejaVu Serif")) ? QStringLiteral("DejaVu Serif") : families.last();
}

void waitForListing(const ViewReport &viewer)
{
    auto *busy = viewer.findChild<WaitingForm *>();
    QVERIFY(busy);
    QTRY_VERIFY_WITH_TIMEOUT(busy->isHidden(), generousWait);
}

// Counts the groups the store hands to the queue of a listening viewer:
// made after the viewer listens, its handler runs after the viewer's post.
struct QueuedGroups
{
    QueuedGroups()
    {
        QObject::connect(SqliteClass::instance(), &SqliteClass::sendQuickQuestion, &context,
                         [this](MainQuestion *) { sent.release(); }, Qt::DirectConnection);
    }
    QSemaphore sent;
    QObject context;
};

// The viewer lists an empty chapter, so it listens to the store from then on.
void listEmptyChapter(ViewReport &viewer)
{
    viewer.showChapterQuestions(3);
    waitForListing(viewer);
}

void showSkinned(ViewReport &viewer)
{
    viewer.setSkinColor(QStringLiteral("80,153,2,255"));
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
}

// Delivers an event as the window system would, so that what the target
// leaves unaccepted goes on to its parents.
void fromTheUser(QWidget *target, QEvent *event)
{
    QSpontaneKeyEvent::setSpontaneous(event);
    QApplication::instance()->notify(target, event);
}

void wheel(QWidget *target, const QPoint &at, const QPoint &angleDelta)
{
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    fromTheUser(target, &event);
}

// A press, a move with the button held and a release, all on `target`.
void dragBy(QWidget *target, const QPoint &at, const QPoint &distance)
{
    const QPoint to = at + distance;
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    fromTheUser(target, &press);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(at) + distance, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    fromTheUser(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, target->mapToGlobal(at) + distance, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    fromTheUser(target, &release);
}

using Action = std::function<void(ViewReport &)>;

// What happens to a listing before the next is asked for: it finishes and
// is shown; it is still loading; its rows are all queued to the viewer.
enum Between { Finished, Loading, RowsQueued };
} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Check)

class TestViewReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void form();
    void windowOrChild();
    void tools_data();
    void tools();
    void storedColours_data();
    void storedColours();
    void colourDialog_data();
    void colourDialog();
    void reportHtml();
    void listing_data();
    void listing();
    void closedWithRowsOnTheWay();
    void listingPlacesImages();
    void failedListingKeepsWhatCame();
    void wheelOverTheText();
    void drag_data();
    void drag();

private:
    FixtureBank bank;
};

void TestViewReport::initTestCase()
{
    initResources();
    bank.addSql(QString::fromUtf8(listingChapterSql));
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(SqliteClass::instance()->openDatabase(bank.path(), phrase, 0), 2);
    QCOMPARE(SqliteClass::instance()->loadQuestionTypes(), 0);
}

void TestViewReport::cleanupTestCase()
{
    SqliteClass::instance()->closeDatabase();
}

void TestViewReport::form()
{
    ViewReport viewer;
    QCOMPARE(viewer.windowTitle(), QStringLiteral("题目详情"));
    QCOMPARE(viewer.size(), QSize(1024, 700));
    QVERIFY(viewer.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(viewer.windowFlags().testFlag(Qt::CustomizeWindowHint));
    QCOMPARE(part<QLabel>(viewer, "label_title")->text(), QStringLiteral("【题目详情】"));
    QVERIFY(part<QLabel>(viewer, "label")->text().isEmpty());

    auto *sizes = part<QComboBox>(viewer, "fontsizecomboBox");
    QCOMPARE(sizes->count(), 92);
    QCOMPARE(sizes->itemText(0), QStringLiteral("9"));
    QCOMPARE(sizes->itemText(91), QStringLiteral("100"));
    QCOMPARE(sizes->currentText(), QStringLiteral("11"));
    QCOMPARE(part<QFontComboBox>(viewer, "fontComboBox")->focusPolicy(), Qt::NoFocus);

    QVERIFY(part<QPushButton>(viewer, "pushButton_print")->isHidden());
    QVERIFY(part<QPushButton>(viewer, "pushButton_toHtml")->isHidden());
    for (const char *name : {"textbold", "textitalic", "textUnderline"}) {
        QVERIFY(part<QToolButton>(viewer, name)->isCheckable());
        QVERIFY(!part<QToolButton>(viewer, name)->isChecked());
    }

    QTextEdit *edit = textOf(viewer);
    QVERIFY(edit->isReadOnly());
    QVERIFY(!edit->acceptRichText());
    QCOMPARE(edit->textInteractionFlags(), Qt::NoTextInteraction);
    QCOMPARE(edit->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestViewReport::windowOrChild()
{
    ViewReport window;
    QVERIFY(window.isWindow());
    QWidget host;
    auto *embedded = new ViewReport(&host);
    QVERIFY(!embedded->isWindow());
    QCOMPARE(embedded->parentWidget(), &host);
}

void TestViewReport::tools_data()
{
    QTest::addColumn<Action>("act");
    QTest::addColumn<Check>("check");

    QTest::newRow("size 20") << Action([](ViewReport &v) {
        part<QComboBox>(v, "fontsizecomboBox")->setCurrentText(QStringLiteral("20"));
    }) << Check([](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontPointSize() == 20; });
    QTest::newRow("font keeps the listed size") << Action([](ViewReport &v) {
        part<QComboBox>(v, "fontsizecomboBox")->setCurrentText(QStringLiteral("30"));
        part<QFontComboBox>(v, "fontComboBox")->setCurrentFont(QFont(otherFamily()));
    }) << Check([](const QTextCharFormat &c, const QTextBlockFormat &) {
        return c.font().family() == otherFamily() && c.fontPointSize() == 30;
    });
    QTest::newRow("bold") << Action([](ViewReport &v) { QTest::mouseClick(part<QToolButton>(v, "textbold"), Qt::LeftButton); })
                          << Check([](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontWeight() == 75; });
    QTest::newRow("bold off") << Action([](ViewReport &v) {
        QTest::mouseClick(part<QToolButton>(v, "textbold"), Qt::LeftButton);
        QTest::mouseClick(part<QToolButton>(v, "textbold"), Qt::LeftButton);
    }) << Check([](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontWeight() == 50; });
    QTest::newRow("italic") << Action([](ViewReport &v) { QTest::mouseClick(part<QToolButton>(v, "textitalic"), Qt::LeftButton); })
                            << Check([](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontItalic(); });
    QTest::newRow("underline") << Action([](ViewReport &v) { QTest::mouseClick(part<QToolButton>(v, "textUnderline"), Qt::LeftButton); })
                               << Check([](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontUnderline(); });
    QTest::newRow("right") << Action([](ViewReport &v) {
        QTest::mouseClick(part<QToolButton>(v, "toolButton_RightAlignment"), Qt::LeftButton);
    }) << Check([](const QTextCharFormat &, const QTextBlockFormat &b) { return b.alignment() == (Qt::AlignRight | Qt::AlignAbsolute); });
    QTest::newRow("centre") << Action([](ViewReport &v) {
        QTest::mouseClick(part<QToolButton>(v, "toolButton_CenterAlignment"), Qt::LeftButton);
    }) << Check([](const QTextCharFormat &, const QTextBlockFormat &b) { return b.alignment() == Qt::AlignHCenter; });
    QTest::newRow("left after centre") << Action([](ViewReport &v) {
        QTest::mouseClick(part<QToolButton>(v, "toolButton_CenterAlignment"), Qt::LeftButton);
        QTest::mouseClick(part<QToolButton>(v, "toolButton_LeftAlignment"), Qt::LeftButton);
    }) << Check([](const QTextCharFormat &, const QTextBlockFormat &b) { return b.alignment() == (Qt::AlignLeft | Qt::AlignAbsolute); });
}

void TestViewReport::tools()
{
    QFETCH(Action, act);
    QFETCH(Check, check);
    TempWorkDir dir;
    ViewReport viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    textOf(viewer)->setHtml(QStringLiteral("<p>第一段 <b>粗</b></p><p>第二段 <i>斜</i> 尾</p>"));
    act(viewer);
    verifyWholeText(textOf(viewer), check);
}

void TestViewReport::storedColours_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QString>("style");

    const QColor black(0, 0, 0), white(255, 255, 255), stored(10, 20, 30);
    QTest::newRow("no keys") << QByteArray() << black << white << QString();
    QTest::newRow("stored") << QByteArray("[QuestionCell]\nViewReportFontColor=10,20,30,255\nViewReportBkColor=10,20,30,255\n")
                            << stored << stored << "background-color:rgb(10,20,30,255);";
    QTest::newRow("two numbers") << QByteArray("[QuestionCell]\nViewReportFontColor=1,2\nViewReportBkColor=1,2\n")
                                 << black << white << QString();
    QTest::newRow("letters") << QByteArray("[QuestionCell]\nViewReportFontColor=a,b,c,d\nViewReportBkColor=a,b,c,d\n")
                             << black << white << QString();
    QTest::newRow("above 255") << QByteArray("[QuestionCell]\nViewReportFontColor=300,0,0,255\nViewReportBkColor=300,0,0,255\n")
                               << black << white << QString();
}

void TestViewReport::storedColours()
{
    QFETCH(QByteArray, config);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(QString, style);
    TempWorkDir dir(config);
    ViewReport viewer;
    viewer.setSkinColor(QStringLiteral("80,153,2,255"));
    QCOMPARE(swatchOf(part<QPushButton>(viewer, "textcolor")), text);
    QCOMPARE(swatchOf(part<QPushButton>(viewer, "pushButton_background")), background);
    QCOMPARE(textOf(viewer)->styleSheet(), style);
    QCOMPARE(textOf(viewer)->textColor(), text);
    QCOMPARE(part<QWidget>(viewer, "widget")->styleSheet(), QStringLiteral("background-color: rgb(80,153,2,255)"));
    QVERIFY(part<QComboBox>(viewer, "fontsizecomboBox")->styleSheet().contains(QStringLiteral("background:rgb(80,153,2,255)")));
}

void TestViewReport::colourDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("accept");
    QTest::newRow("text chosen") << "textcolor" << "QuestionCell/ViewReportFontColor" << true;
    QTest::newRow("text cancelled") << "textcolor" << "QuestionCell/ViewReportFontColor" << false;
    QTest::newRow("background chosen") << "pushButton_background" << "QuestionCell/ViewReportBkColor" << true;
    QTest::newRow("background cancelled") << "pushButton_background" << "QuestionCell/ViewReportBkColor" << false;
}

void TestViewReport::colourDialog()
{
    QFETCH(QString, button);
    QFETCH(QString, key);
    QFETCH(bool, accept);
    TempWorkDir dir;
    ViewReport viewer;
    showSkinned(viewer);
    textOf(viewer)->setPlainText(QStringLiteral("一段文字\n第二段"));
    auto *pressed = part<QPushButton>(viewer, qPrintable(button));
    const QColor before = swatchOf(pressed);
    const QColor chosen(200, 10, 20, 255);

    // The dialog is closed whatever it shows, so that a failure cannot hang.
    QColor offered;
    DialogAnswerer answer([&](QWidget *dialog) {
        auto *colours = qobject_cast<QColorDialog *>(dialog);
        if (colours) {
            offered = colours->currentColor();
            colours->setCurrentColor(chosen);
        }
        auto *box = qobject_cast<QDialog *>(dialog);
        accept ? box->accept() : box->reject();
    });
    QTest::mouseClick(pressed, Qt::LeftButton);
    QVERIFY(answer.answered());
    QCOMPARE(answer.dialogClass(), QStringLiteral("QColorDialog"));
    QCOMPARE(offered, before);

    const bool forText = button == QLatin1String("textcolor");
    QCOMPARE(swatchOf(pressed), accept ? chosen : before);
    QCOMPARE(ConfigIni::readText(key), accept ? QStringLiteral("200,10,20,255") : QString());
    QCOMPARE(textOf(viewer)->styleSheet(),
             accept && !forText ? QStringLiteral("background-color:rgb(200,10,20,255);") : QString());
    const QColor textColour = accept && forText ? chosen : QColor(0, 0, 0);
    verifyWholeText(textOf(viewer), [&](const QTextCharFormat &c, const QTextBlockFormat &) {
        return forText && accept ? c.foreground().color() == textColour : !c.hasProperty(QTextFormat::ForegroundBrush);
    });
}

void TestViewReport::reportHtml()
{
    TempWorkDir dir("[QuestionCell]\nViewReportFontColor=10,20,30,255\n");
    QWidget host;
    host.resize(778, 450);
    auto *viewer = new ViewReport(&host);
    viewer->setGeometry(host.rect());
    viewer->setSkinColor(QStringLiteral("80,153,2,255"));
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    auto *sizes = part<QComboBox>(*viewer, "fontsizecomboBox");
    sizes->setCurrentText(QStringLiteral("20"));

    viewer->showReportHtml(QStringLiteral("<p style=\"font-size:30pt\">报告<b>一</b></p><p>第二段</p>"));
    QCOMPARE(sizes->currentText(), QStringLiteral("12"));
    verifyWholeText(textOf(*viewer), [](const QTextCharFormat &c, const QTextBlockFormat &) {
        return c.fontPointSize() == 12 && c.foreground().color() == QColor(10, 20, 30);
    });
    QCOMPARE(textOf(*viewer)->toPlainText(), QStringLiteral("报告一\n第二段"));

    // With the list already on 12, new content still ends at 12 pt.
    viewer->showReportHtml(QStringLiteral("<p style=\"font-size:30pt\">再一份</p>"));
    verifyWholeText(textOf(*viewer), [](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontPointSize() == 12; });

    auto *overlay = viewer->findChild<ViewReport2 *>();
    QVERIFY(overlay);
    QVERIFY(overlay->isVisible());
    const QRect text(textOf(*viewer)->mapTo(viewer, QPoint(0, 0)), textOf(*viewer)->size());
    QCOMPARE(overlay->geometry(), QRect(text.topLeft(), text.size() - QSize(15, 15)));

    // Embedded without the title row the text moves up; the cover follows.
    viewer->hideTitleBar();
    QTRY_COMPARE(textOf(*viewer)->mapTo(viewer, QPoint(0, 0)).y(), overlay->y());
    QCOMPARE(overlay->height(), textOf(*viewer)->height() - 15);
    QVERIFY(!part<QWidget>(*viewer, "widget")->isVisible());
    QVERIFY(!part<QLabel>(*viewer, "label")->isVisible());
}

void TestViewReport::listing_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("between");
    QTest::addColumn<int>("cateId");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<int>("count");

    QTest::newRow("runs of types, stems, answer letters") << QList<int>() << int(Finished) << 131 << listingOf131() << 6;
    QTest::newRow("chapter without groups") << QList<int>() << int(Finished) << 3 << QStringList{QString()} << 0;
    QTest::newRow("after another chapter") << QList<int>{111} << int(Finished) << 131 << listingOf131() << 6;
    QTest::newRow("after the same chapter") << QList<int>{131} << int(Finished) << 131 << listingOf131() << 6;
    QTest::newRow("asked for while one loads") << QList<int>{111} << int(Loading) << 131 << listingOf131() << 6;
    QTest::newRow("asked for with rows on the way") << QList<int>{111} << int(RowsQueued) << 131 << listingOf131() << 6;
    QTest::newRow("three asked for, rows on the way") << QList<int>{112, 111} << int(RowsQueued) << 131 << listingOf131()
                                                      << 6;
}

void TestViewReport::listing()
{
    QFETCH(QList<int>, before);
    QFETCH(int, between);
    QFETCH(int, cateId);
    QFETCH(QStringList, paragraphs);
    QFETCH(int, count);
    TempWorkDir dir;
    ViewReport viewer;
    showSkinned(viewer);

    std::unique_ptr<QueuedGroups> queued;
    if (between == RowsQueued) {
        listEmptyChapter(viewer);
        queued = std::make_unique<QueuedGroups>();
    }
    for (int earlier : before) {
        viewer.showChapterQuestions(earlier);
        if (between == Finished)
            waitForListing(viewer);
        // Chapters 111 and 112 hold six groups each.
        if (between == RowsQueued)
            QVERIFY(queued->sent.tryAcquire(6, generousWait));
    }
    viewer.showChapterQuestions(cateId);
    waitForListing(viewer);

    QCOMPARE(textOf(viewer)->toPlainText().split(QLatin1Char('\n')), paragraphs.join(QLatin1Char('\n')).split(QLatin1Char('\n')));
    QCOMPARE(part<QLabel>(viewer, "label")->text(), QStringLiteral("\t总题：%1题  ").arg(count));
    QCOMPARE(part<QComboBox>(viewer, "fontsizecomboBox")->currentText(), QStringLiteral("12"));
    if (count > 0)
        verifyWholeText(textOf(viewer), [](const QTextCharFormat &c, const QTextBlockFormat &) { return c.fontPointSize() == 12; });
    auto *overlay = viewer.findChild<ViewReport2 *>();
    QVERIFY(overlay && overlay->isVisible());
    QCOMPARE(overlay->height(), textOf(viewer)->height());
}

// The rows queued to a viewer that goes away are its own; the sanitizer
// build's leak check fails the test if any is lost.
void TestViewReport::closedWithRowsOnTheWay()
{
    TempWorkDir dir;
    auto viewer = std::make_unique<ViewReport>();
    listEmptyChapter(*viewer);
    QueuedGroups queued;
    viewer->showChapterQuestions(111);
    QVERIFY(queued.sent.tryAcquire(6, generousWait));
    viewer.reset();
    // The stopped listing sends nothing more.
    QCoreApplication::processEvents();
    QCOMPARE(queued.sent.available(), 0);
}

void TestViewReport::listingPlacesImages()
{
    TempWorkDir dir;
    ViewReport viewer;
    viewer.show();
    viewer.showChapterQuestions(111);
    waitForListing(viewer);
    const QString html = textOf(viewer)->toHtml();
    QVERIFY2(html.contains(QStringLiteral("src=\"%1images/img101.png\"").arg(bank.databaseDir())), qPrintable(html));
    QVERIFY(!html.contains(QStringLiteral("[img101.png]")));
    // Groups 102, 103 (two questions), 101, 104 (one left undeleted), 105, 106 (two).
    QCOMPARE(part<QLabel>(viewer, "label")->text(), QStringLiteral("\t总题：8题  "));
    const QString plain = textOf(viewer)->toPlainText();
    QVERIFY(plain.contains(QStringLiteral("\t\t●沙丁胺醇\n\t\t●特布他林\n\t\t●福莫特罗\n")));
}

void TestViewReport::failedListingKeepsWhatCame()
{
    TempWorkDir dir;
    SqliteClass *store = SqliteClass::instance();
    // Reading the questions of group 303 fails; the groups before it load.
    QCOMPARE(store->execSql(QStringLiteral("ALTER TABLE tQue RENAME TO tQueKept")), 0);
    QCOMPARE(store->execSql(QStringLiteral(
                 "CREATE VIEW tQue AS SELECT queId, cateListId, CASE WHEN cateListId = 303 "
                 "THEN abs(-9223372036854775807 - 1) ELSE queText END AS queText, answer, prompt, IsDel, ord, "
                 "queCode, modTime, userStatus, userAnswer, userTime, userFav, userNote FROM tQueKept")), 0);
    LogCapture log;
    ViewReport viewer;
    viewer.show();
    viewer.showChapterQuestions(131);
    waitForListing(viewer);
    QCOMPARE(store->execSql(QStringLiteral("DROP VIEW tQue")), 0);
    QCOMPARE(store->execSql(QStringLiteral("ALTER TABLE tQueKept RENAME TO tQue")), 0);

    QCOMPARE(textOf(viewer)->toPlainText(), listingOf131().mid(0, 11).join(QLatin1Char('\n')));
    QCOMPARE(part<QLabel>(viewer, "label")->text(), QStringLiteral("\t总题：2题  "));
    QVERIFY2(log.contains(QStringLiteral("[Error:]")) && log.contains(QStringLiteral("integer overflow")),
             qPrintable(log.lines().join(QLatin1Char('\n'))));
}

void TestViewReport::wheelOverTheText()
{
    TempWorkDir dir;
    ViewReport viewer;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QString html;
    for (int i = 0; i < 300; ++i)
        html += QStringLiteral("<p>第%1段</p>").arg(i);
    viewer.showReportHtml(html);
    QScrollBar *bar = textOf(viewer)->verticalScrollBar();
    QVERIFY(bar->maximum() > 1000);
    bar->setValue(600);

    const QPoint at = textOf(viewer)->mapTo(&viewer, QPoint(100, 100));
    QWidget *under = viewer.childAt(at);
    QVERIFY(under);
    QVERIFY(under == viewer.findChild<ViewReport2 *>() || under->parentWidget() == viewer.findChild<ViewReport2 *>());
    const QPoint local = under->mapFrom(&viewer, at);

    wheel(under, local, QPoint(0, 120));
    QCOMPARE(bar->value(), 480);
    wheel(under, local, QPoint(0, -240));
    QCOMPARE(bar->value(), 720);
    wheel(under, local, QPoint(120, 0));
    QCOMPARE(bar->value(), 720);
}

void TestViewReport::drag_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::newRow("window") << false;
    QTest::newRow("in a page") << true;
}

void TestViewReport::drag()
{
    QFETCH(bool, embedded);
    TempWorkDir dir;
    QWidget host;
    host.resize(1100, 760);
    ViewReport *viewer = embedded ? new ViewReport(&host) : new ViewReport;
    QScopedPointer<ViewReport> window(embedded ? nullptr : viewer);
    viewer->setSkinColor(QStringLiteral("80,153,2,255"));
    viewer->move(20, 30);
    (embedded ? static_cast<QWidget *>(&host) : viewer)->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer->window()));
    viewer->showReportHtml(QStringLiteral("<p>报告</p>"));
    const QPoint start = viewer->pos();

    // On the text cover and on the title: both reach the viewer.
    auto *overlay = viewer->findChild<ViewReport2 *>();
    auto *title = part<QLabel>(*viewer, "label_title");
    for (QWidget *grip : {static_cast<QWidget *>(overlay), static_cast<QWidget *>(title)})
        dragBy(grip, QPoint(10, 10), QPoint(30, 20));
    QCOMPARE(viewer->pos(), embedded ? start : start + QPoint(60, 40));

    QTest::mouseDClick(title, Qt::LeftButton);
    QCOMPARE(viewer->isMaximized(), !embedded);
}

QTEST_MAIN(TestViewReport)
#include "tst_viewreport.moc"
