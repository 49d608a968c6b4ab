// The past exams page: records listed newest first, shown with their counts
// and report, deleted after confirmation.
#include "LearnReportCell.h"
#include "LearnReportWidget.h"
#include "ViewReport.h"

#include "ChoiceDialog.h"
#include "FixtureBank.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());
const QString skin = QStringLiteral("12,34,56,255");

SqliteClass *store()
{
    return SqliteClass::instance();
}

template <typename T>
T *part(const QWidget &page, const char *name)
{
    return page.findChild<T *>(QString::fromLatin1(name));
}

QTableWidget *table(const QWidget &page)
{
    return part<QTableWidget>(page, "tableWidget");
}

LearnReportCell *cell(const QWidget &page, int row)
{
    return qobject_cast<LearnReportCell *>(table(page)->cellWidget(row, 0));
}

QStringList ids(const QWidget &page)
{
    QStringList out;
    for (int row = 0; row < table(page)->rowCount(); ++row)
        out << QString::number(cell(page, row)->examId());
    return out;
}

QString shownReport(const QWidget &page)
{
    return part<QTextEdit>(*part<ViewReport>(page, "widget_view"), "textEdit")->toPlainText();
}

QString labelText(const QWidget &page, const char *name)
{
    return part<QLabel>(page, name)->text();
}

// A click on the row's date, as a user picks a record.
void clickRow(QWidget &page, int row)
{
    QTableWidget *view = table(page);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(view->model()->index(row, 0)).center());
}

// Clicks the row's delete icon and answers the confirmation.
void deleteRow(QWidget &page, int row, bool confirm = true)
{
    QTest::mouseClick(part<QPushButton>(*cell(page, row), "pushButton"), Qt::LeftButton);
    ChoiceDialog *dialog = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<ChoiceDialog *>(widget); found && found->isVisible())
            dialog = found;
    QVERIFY(dialog);
    QTest::mouseClick(part<QPushButton>(*dialog, confirm ? "pushButton_save" : "pushButton_save_2"), Qt::LeftButton);
}

QString dayTime(const QString &stored)
{
    return QLocale::system().toString(QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                      QStringLiteral("yyyy-MM-dd hh:mm:ss ddd"));
}

} // namespace

class TestLearnReportWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void listsNewestFirst();
    void showsRecord_data();
    void showsRecord();
    void deleteOtherRowKeepsView();
    void deleteShownRecord();
    void failedDeletionKeepsRow();
    void tabs();
    void familyListHoldsCjkNames();

private:
    // A record saved now, as an exam leaves it.
    void insertRecord(int kind, const QString &html, const QString &counts);
    void openPage();

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<LearnReportWidget> page;
};

void TestLearnReportWidget::init()
{
    workDir = std::make_unique<TempWorkDir>();
    bank = std::make_unique<FixtureBank>();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
}

void TestLearnReportWidget::cleanup()
{
    page.reset();
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<ChoiceDialog *>(widget))
            delete widget;
    store()->closeDatabase();
    bank.reset();
    workDir.reset();
}

void TestLearnReportWidget::insertRecord(int kind, const QString &html, const QString &counts)
{
    SqliteData record;
    record.text2 = QString::number(kind);
    record.text3 = html;
    record.text4 = counts;
    QCOMPARE(store()->InsertExamTable(&record), 0);
}

void TestLearnReportWidget::openPage()
{
    page = std::make_unique<LearnReportWidget>();
    page->resize(778, 450);
    page->setSkinColor(skin);
    page->show();
    page->reload();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

void TestLearnReportWidget::listsNewestFirst()
{
    openPage();
    QCOMPARE(table(*page)->rowCount(), 0);
    QTest::mouseClick(part<QPushButton>(*page, "pushButton_noni"), Qt::LeftButton);
    QCOMPARE(ids(*page), (QStringList{"10", "9", "1"}));
    const QStringList times{"2015-10-10 09:00:00", "2015-10-09 09:00:00", "2015-10-01 09:00:00"};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(cell(*page, row)->dateText(), dayTime(times.at(row)));
        QCOMPARE(part<QLabel>(*cell(*page, row), "label_text")->text(), dayTime(times.at(row)));
        QCOMPARE(table(*page)->rowHeight(row), 28);
    }
}

void TestLearnReportWidget::showsRecord_data()
{
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("countsLabel");
    QTest::newRow("10/6/1") << "10/6/1"
                            << "总题：10  正确：6  错误：<font color=\"#FF0000\">3</font> 未做:<font color=\"#FF0000\">1</font>";
    QTest::newRow("commas") << "20,15,5" << QString();
    QTest::newRow("two parts") << "10/6" << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestLearnReportWidget::showsRecord()
{
    QFETCH(QString, counts);
    QFETCH(QString, countsLabel);

    insertRecord(1, QStringLiteral("<p>新的报告</p>"), counts);
    openPage();
    QTest::mouseClick(part<QPushButton>(*page, "pushButton_noni"), Qt::LeftButton);
    QCOMPARE(ids(*page).first(), QStringLiteral("11"));
    clickRow(*page, 0);
    const QString date = cell(*page, 0)->dateText();
    QCOMPARE(labelText(*page, "label_title"),
             QStringLiteral("<html><head/><body><p><span style=\" font-size:14pt; font-weight:600;\">%1</span></p></body></html>")
                 .arg(date));
    QCOMPARE(labelText(*page, "label_question"), countsLabel);
    QCOMPARE(shownReport(*page), QStringLiteral("新的报告"));

    // Fixture record 1 keeps its counts with commas: title and report still show.
    clickRow(*page, 3);
    QCOMPARE(cell(*page, 3)->examId(), 1);
    QVERIFY(labelText(*page, "label_title").contains(cell(*page, 3)->dateText()));
    QCOMPARE(labelText(*page, "label_question"), QString());
    QCOMPARE(shownReport(*page), QStringLiteral("模拟考试报告一"));
}

void TestLearnReportWidget::deleteOtherRowKeepsView()
{
    openPage();
    QTest::mouseClick(part<QPushButton>(*page, "pushButton_noni"), Qt::LeftButton);
    clickRow(*page, 0);
    QCOMPARE(shownReport(*page), QStringLiteral("模拟考试报告十"));
    deleteRow(*page, 1);
    QCOMPARE(ids(*page), (QStringList{"10", "1"}));
    QCOMPARE(cell(*page, 0)->row(), 0);
    QCOMPARE(cell(*page, 1)->row(), 1);
    QCOMPARE(shownReport(*page), QStringLiteral("模拟考试报告十"));
    QString report;
    QString counts;
    QCOMPARE(store()->readExamRecord(9, report, counts), 0);
    QVERIFY(report.isEmpty());

    clickRow(*page, 1);
    QCOMPARE(shownReport(*page), QStringLiteral("模拟考试报告一"));
    // The new second row's icon names it, not the row it had before.
    deleteRow(*page, 1);
    QCOMPARE(ids(*page), (QStringList{"10"}));
}

void TestLearnReportWidget::deleteShownRecord()
{
    openPage();
    QTest::mouseClick(part<QPushButton>(*page, "pushButton_noni"), Qt::LeftButton);
    clickRow(*page, 1);
    const QString title = labelText(*page, "label_title");
    QVERIFY(title.contains(cell(*page, 1)->dateText()));
    deleteRow(*page, 1, false);
    QCOMPARE(ids(*page), (QStringList{"10", "9", "1"}));
    QCOMPARE(shownReport(*page), QStringLiteral("模拟考试报告九"));

    deleteRow(*page, 1);
    QCOMPARE(ids(*page), (QStringList{"10", "1"}));
    QCOMPARE(shownReport(*page), QString());
    QCOMPARE(labelText(*page, "label_title"), title);
}

void TestLearnReportWidget::failedDeletionKeepsRow()
{
    openPage();
    QTest::mouseClick(part<QPushButton>(*page, "pushButton_noni"), Qt::LeftButton);
    QVERIFY(bank->exec(QStringLiteral(
        "CREATE TRIGGER keepRecords BEFORE DELETE ON ConfigTable BEGIN SELECT RAISE(ABORT, 'kept'); END")));
    deleteRow(*page, 1);
    QCOMPARE(ids(*page), (QStringList{"10", "9", "1"}));
    QCOMPARE(cell(*page, 2)->row(), 2);
}

void TestLearnReportWidget::tabs()
{
    insertRecord(0, QStringLiteral("<p>机考一</p>"), QStringLiteral("5/4/0"));
    openPage();
    auto *talk = part<QPushButton>(*page, "pushButton_talk");
    auto *noni = part<QPushButton>(*page, "pushButton_noni");
    QVERIFY(talk->styleSheet().contains(QStringLiteral("background-color: rgb(%1)").arg(skin)));
    QVERIFY(!noni->styleSheet().contains(skin));
    QCOMPARE(ids(*page), QStringList{"11"});
    clickRow(*page, 0);
    QCOMPARE(shownReport(*page), QStringLiteral("机考一"));

    QTest::mouseClick(noni, Qt::LeftButton);
    QVERIFY(noni->styleSheet().contains(QStringLiteral("background-color: rgb(%1)").arg(skin)));
    QVERIFY(!talk->styleSheet().contains(skin));
    QCOMPARE(ids(*page), (QStringList{"10", "9", "1"}));
    QCOMPARE(shownReport(*page), QStringLiteral("机考一"));

    QTest::mouseClick(talk, Qt::LeftButton);
    QCOMPARE(shownReport(*page), QString());
    const QString counts = labelText(*page, "label_question");
    QVERIFY(counts.startsWith(QStringLiteral("总题：5")));

    clickRow(*page, 0);
    QCOMPARE(shownReport(*page), QStringLiteral("机考一"));
    QTest::mouseClick(noni, Qt::LeftButton);
    page->reload();
    QCOMPARE(shownReport(*page), QString());
    QCOMPARE(ids(*page), QStringList{"11"});
    QCOMPARE(labelText(*page, "label_question"), counts);
}

void TestLearnReportWidget::familyListHoldsCjkNames()
{
    QStringList families;
    const QFontDatabase fonts;
    for (const QFontDatabase::WritingSystem system : {QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese,
                                                      QFontDatabase::Japanese, QFontDatabase::Korean})
        families += fonts.families(system);
    families.removeDuplicates();
    if (families.isEmpty())
        QSKIP("no Chinese, Japanese or Korean font installed");

    openPage();
    auto *viewer = part<ViewReport>(*page, "widget_view");
    auto *box = part<QFontComboBox>(*viewer, "fontComboBox");
    QLineEdit *edit = box->lineEdit();
    for (const QString &family : qAsConst(families)) {
        box->setCurrentFont(QFont(family));
        QApplication::processEvents();
        QCOMPARE(edit->text(), family);
        // The edit field keeps two pixels free on each side of its text.
        QVERIFY2(edit->fontMetrics().horizontalAdvance(family) <= edit->width() - 4,
                 qPrintable(QStringLiteral("%1 in %2 pixels").arg(family).arg(edit->width())));
    }
    // The tools all stay on the narrowest page.
    QList<QWidget *> tools;
    for (QWidget *tool : viewer->findChildren<QToolButton *>())
        tools << tool;
    for (QWidget *tool : viewer->findChildren<QComboBox *>())
        tools << tool;
    tools << part<QWidget>(*viewer, "textcolor") << part<QWidget>(*viewer, "pushButton_background");
    for (QWidget *tool : qAsConst(tools)) {
        if (!tool->isVisible())
            continue;
        const QRect area(tool->mapTo(page.get(), QPoint(0, 0)), tool->size());
        QVERIFY2(page->rect().contains(area), qPrintable(tool->objectName()));
    }
}

QTEST_MAIN(TestLearnReportWidget)
#include "tst_learnreportwidget.moc"
