// Every demo question of the choice, multiple-choice, true/false,
// shared-option and fill-in kinds answered in the question view as a user
// does, once right and once wrong: the state judged, the marks drawn and one
// answer-log row per answer given.
#include "ScrollAreaCellForm.h"

#include "CellFixture.h"
#include "QuestionCellFactory.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "ViewKit.h"

#include <QInputMethodEvent>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

using Kind = QuestionCellFactory::Kind;

// The letter a user gives for a wrong answer to a one-letter question.
QString otherLetter(const QString &right)
{
    return right == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
}

// The checked letters that make a multiple-choice answer wrong: the right
// ones and one more, or all but the last where every option is right.
QString wrongLetters(const QString &right, int options)
{
    for (int i = 0; i < options; ++i) {
        const QChar letter(QLatin1Char(char('A' + i)));
        if (!right.contains(letter))
            return right + letter;
    }
    return right.left(right.size() - 1);
}

// What the option rows draw after a one-option choice: R right, W wrong, - none.
QString radioMarks(const QString &chosen, const QString &right, int options)
{
    QString marks(options, QLatin1Char('-'));
    const int rightRow = right.at(0).unicode() - 'A';
    const int chosenRow = chosen.at(0).unicode() - 'A';
    if (rightRow >= 0 && rightRow < options)
        marks[rightRow] = QLatin1Char('R');
    marks[chosenRow] = chosenRow == rightRow ? QLatin1Char('R') : QLatin1Char('W');
    return marks;
}

QString drawnMarks(QuestionCellForm *cell)
{
    auto *table = cell->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
    QString marks;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString style = table->cellWidget(row, 0)->findChild<QLabel *>(QStringLiteral("label_right"))->styleSheet();
        marks += style.contains(QLatin1String("right.png"))   ? QLatin1Char('R')
               : style.contains(QLatin1String("error.png")) ? QLatin1Char('W')
                                                             : QLatin1Char('-');
    }
    return marks;
}

void clickRow(QuestionCellForm *cell, QChar letter)
{
    auto *table = cell->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
    QWidget *row = table->cellWidget(letter.unicode() - 'A', 0);
    QTest::mouseClick(row->findChild<QLabel *>(QStringLiteral("label_text")), Qt::LeftButton);
    // The click reaches the cell once the release is done with.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

void commitText(QTextEdit *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

int logRows()
{
    return sqlCount(QStringLiteral("select count(*) from tQueLog where type = '001'"));
}

} // namespace

class TestJudgingDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initResources();
        QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
    }
    void cleanupTestCase() { SqliteClass::instance()->closeDatabase(); }

    void everyQuestionJudged_data();
    void everyQuestionJudged();

private:
    TempWorkDir work;
};

void TestJudgingDemo::everyQuestionJudged_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("given");   // one answer a question the cell shows
    QTest::addColumn<QList<int>>("states");    // the state each is judged
    QTest::addColumn<QString>("marks");        // one-option choices only
    QTest::addColumn<int>("answers");          // answers given, one log row each

    QSet<int> kinds;
    QSqlQuery query(QStringLiteral("select cateListId, queTypeId from tCateList where queTypeId in (1, 2, 3, 4, 6, 7, 10, 11)"
                                   " order by cateListId"));
    while (query.next()) {
        const int id = query.value(0).toInt();
        const int type = query.value(1).toInt();
        const std::unique_ptr<MainQuestion> group = CellFixture::group(id);
        if (!group || group->questions.isEmpty())
            continue;
        const Kind kind = QuestionCellFactory::kindOf(type);
        kinds.insert(int(kind));
        const QuestionData *first = group->questions.first();
        const QString right = QString(first->answer).remove(QLatin1Char(' '));
        const int options = first->options.size();
        auto row = [&](const char *way, const QStringList &given, const QList<int> &states, const QString &marks,
                       int answers) {
            QTest::addRow("%d (type %d) %s", id, type, way) << id << given << states << marks << answers;
        };
        switch (kind) {
        case Kind::Choice:
            if (type == 1 || type == 2) {
                row("right", {right}, {1}, radioMarks(right, right, options), 1);
                row("wrong", {otherLetter(right)}, {2}, radioMarks(otherLetter(right), right, options), 1);
            } else {
                // Every box checked is an answer of its own.
                const QString wrong = wrongLetters(right, options);
                row("right", {right}, {1}, QString(), right.size());
                row("wrong", {wrong}, {2}, QString(), wrong.size());
            }
            break;
        case Kind::SharedOption: {
            QStringList rights, wrongs;
            for (const QuestionData *sub : group->questions) {
                rights << sub->answer;
                wrongs << otherLetter(sub->answer);
            }
            const int subs = int(group->questions.size());
            row("right", rights, QVector<int>(subs, 1).toList(), QString(), subs);
            row("wrong", wrongs, QVector<int>(subs, 2).toList(), QString(), subs);
            break;
        }
        case Kind::TrueFalse:
            row("right", {first->answer}, {1}, QString(), 1);
            row("wrong", {otherLetter(first->answer)}, {2}, QString(), 1);
            break;
        case Kind::FillIn:
            row("right", {first->answer}, {1}, QString(), 1);
            row("wrong", {QStringLiteral("某") + first->answer.mid(1)}, {2}, QString(), 1);
            break;
        default:
            break;
        }
    }
    QCOMPARE(kinds, (QSet<int>{int(Kind::Choice), int(Kind::SharedOption), int(Kind::TrueFalse), int(Kind::FillIn)}));
}

void TestJudgingDemo::everyQuestionJudged()
{
    QFETCH(int, group);
    QFETCH(QStringList, given);
    sqlRow(QStringLiteral("update tQue set userStatus = '0', userAnswer = NULL where cateListId = ?"), {group});
    const std::unique_ptr<MainQuestion> record = CellFixture::group(group);
    QVERIFY(record);
    QWidget window;
    auto *view = new ScrollAreaCellForm(&window);
    (new QVBoxLayout(&window))->addWidget(view);
    window.resize(700, 700);
    view->setStyle(QStringLiteral("80,153,2,255"), 0);
    QVERIFY(showActiveWindow(window));
    view->showQuestion(record.get(), 0, 0);
    QWidget *cell = viewCell(*view);
    QVERIFY(cell);
    const int logBefore = logRows();

    QList<int> judged;
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell)) {
        for (QChar letter : given.first())
            clickRow(choice, letter);
        judged << choice->answerState();
        QFETCH(QString, marks);
        if (!marks.isEmpty())
            QCOMPARE(drawnMarks(choice), marks);
    } else if (auto *shared = qobject_cast<B1CellForm *>(cell)) {
        const QList<B1CellOptionForm *> subs = subQuestions(shared);
        QCOMPARE(subs.size(), given.size());
        for (int i = 0; i < subs.size(); ++i) {
            QVERIFY2(chooseLetter(subs.at(i), given.at(i)), qPrintable(given.at(i)));
            judged << subs.at(i)->answerState();
        }
    } else if (answerBox(cell)) {
        commitText(answerBox(cell), given.first());
        QTest::mouseClick(button(cell, "pushButton_showanswer"), Qt::LeftButton);
        judged << view->answerState();
    } else {
        clickOption(cell, given.first().at(0));
        judged << view->answerState();
    }
    QTEST(judged, "states");

    // The bank holds what was judged, question by question.
    QList<int> stored;
    for (int i = 0; i < judged.size(); ++i)
        stored << CellFixture::userColumns(record->questions.at(i)->queId).section(QLatin1Char('|'), 0, 0).toInt();
    QTEST(stored, "states");
    QTEST(logRows() - logBefore, "answers");
}

QTEST_MAIN(TestJudgingDemo)
#include "tst_judging_demo.moc"
