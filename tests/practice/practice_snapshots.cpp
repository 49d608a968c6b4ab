// Draws the practice widgets with Chinese texts into PNG files, to look at
// them without a screen: practice_snapshots OUTDIR
// Cells come from a copy of the demo subject and, for picture options and
// a picture stem, from the fixture bank.
#include "B1CellForm.h"
#include "BLANKCellForm.h"
#include "CRoundProcessBar.h"
#include "CellBk.h"
#include "CellFixture.h"
#include "FixtureBank.h"
#include "InterpretationForm.h"
#include "MainQuestion.h"
#include "NoteDialog.h"
#include "QuestionCellForm.h"
#include "QuestionData.h"
#include "ReturnQuestionsDialog.h"
#include "Resources.h"
#include "SIMPLE_CASE_EXPLAINECellForm.h"
#include "Snapshot.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "YNCellForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTest>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>

namespace {

void saveSummary(int mode, const QDir &dir, const QString &name)
{
    auto *dialog = new ReturnQuestionsDialog;
    dialog->setSkinColor(QStringLiteral("80,153,2,255"));
    dialog->setMode(QStringLiteral("这是【慢性阻塞性肺疾病与支气管哮喘】最后一章了，您真棒!\n 总题数:50 正确:15 错误:5 未答:30"), mode);
    saveSnapshot(dialog, dir, name);
    delete dialog;
}

// Four gauges side by side on a white page.
void saveRings(const QString &colour, const QDir &dir, const QString &name)
{
    QWidget row;
    row.setStyleSheet(QStringLiteral("background: white;"));
    auto *layout = new QHBoxLayout(&row);
    for (const char *value : {"0", "45", "90", "100"}) {
        auto *bar = new CRoundProcessBar(&row, colour);
        bar->setTotal(100);
        bar->setValueText(QLatin1String(value));
        layout->addWidget(bar);
    }
    saveSnapshot(&row, dir, name, 4);
}

enum class Fill { Practice, Exam };

const QString skin = QStringLiteral("80,153,2,255");

// A cell as a page shows it: on the white reading area at the page's width,
// answered by answer() as the user would, drawn at its full height.
void savePage(QWidget *cell, int width, const std::function<void()> &answer, const QDir &dir, const QString &name)
{
    QWidget page;
    page.setStyleSheet(QStringLiteral("QWidget#page{background: white;}"));
    page.setObjectName(QStringLiteral("page"));
    auto *layout = new QVBoxLayout(&page);
    layout->addWidget(cell);
    page.resize(width, 200);
    page.show();
    QApplication::processEvents();
    answer();
    page.resize(width, layout->totalHeightForWidth(width));
    saveSnapshot(&page, dir, QStringLiteral("%1_%2").arg(name).arg(width));
}

// One question of a group, answered by clicking the texts of the given rows.
void saveCell(int cateListId, int question, Fill fill, const QList<int> &clicks, const QDir &dir, const QString &name)
{
    const auto group = CellFixture::group(cateListId);
    if (!group || question >= group->questions.size()) {
        std::fprintf(stderr, "practice_snapshots: no group %d\n", cateListId);
        return;
    }
    QuestionData *q = group->questions[question];
    for (int width : {609, 780}) {
        auto *cell = new QuestionCellForm;
        cell->setStyle(skin);
        if (fill == Fill::Exam)
            cell->setExamQuestion(2, QStringLiteral("12"), 11, group.get(), q, q->options);
        else
            cell->setQuestion(3, group.get(), q, q->options, 0);
        savePage(cell, width, [cell, &clicks] {
            auto *table = cell->findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
            for (int row : clicks)
                QTest::mouseClick(table->cellWidget(row, 0)->findChild<QLabel *>(QStringLiteral("label_text")), Qt::LeftButton);
        }, dir, name);
    }
}

// A shared-option group with its first sub-question answered right and the
// second wrong; in the exam also with the answers shown.
void saveSharedOptions(int cateListId, Fill fill, bool answersShown, const QDir &dir, const QString &name)
{
    const auto group = CellFixture::group(cateListId);
    if (!group || group->questions.size() < 2) {
        std::fprintf(stderr, "practice_snapshots: no group %d\n", cateListId);
        return;
    }
    const QString right = group->questions[0]->answer;
    const QString wrong = group->questions[1]->answer == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
    for (int width : {587, 780}) {
        auto *cell = new B1CellForm;
        cell->setStyle(skin);
        cell->setData(fill == Fill::Exam ? 2 : -1, QStringLiteral("12"), 12, group.get(), fill == Fill::Exam ? 1 : 0);
        savePage(cell, width, [cell, &right, &wrong, answersShown] {
            const QList<QComboBox *> boxes = cell->findChildren<QComboBox *>();
            boxes[0]->setCurrentText(right);
            boxes[1]->setCurrentText(wrong);
            if (answersShown)
                cell->showAllAnswers();
        }, dir, name);
    }
}

// The first group of the type in the open bank whose question meets the condition.
int firstGroup(int queTypeId, const QString &condition = QStringLiteral("1"))
{
    return sqlCount(QStringLiteral("select tCateList.cateListId from tCateList join tQue using (cateListId) "
                                   "where queTypeId = ? and %1 order by tCateList.cateListId limit 1")
                        .arg(condition),
                    {queTypeId});
}

// The user's answer: an option clicked, or a text typed and "显示答案" pressed
// (in the exam the cell takes the text as it is typed).
void answerPlainCell(QWidget *cell, const QString &text)
{
    if (auto *option = cell->findChild<QRadioButton *>(QStringLiteral("radioButton_2"))) {
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
        return;
    }
    cell->findChild<QTextEdit *>(QStringLiteral("textEdit_answer"))->setPlainText(text);
    if (auto *show = cell->findChild<QPushButton *>(QStringLiteral("pushButton_showanswer")); show->isVisible())
        show->click();
}

// A true/false, fill-in or case-analysis cell as a page shows it, answered,
// with its answer open in practice; in the exam answered and closed.
template <class Cell>
void savePlainCell(int cateListId, Fill fill, const QDir &dir, const QString &name)
{
    const auto group = CellFixture::group(cateListId);
    if (!group) {
        std::fprintf(stderr, "practice_snapshots: no group %d\n", cateListId);
        return;
    }
    for (int width : {609, 780}) {
        QWidget page;
        page.setStyleSheet(QStringLiteral("QWidget#page{background: white;}"));
        page.setObjectName(QStringLiteral("page"));
        auto *layout = new QVBoxLayout(&page);
        auto *cell = new Cell;
        layout->addWidget(cell);
        cell->setStyle(QStringLiteral("80,153,2,255"));
        cell->setShowAnswerAtOnce(true);
        if (fill == Fill::Exam)
            cell->setExamData(12, group.get());
        else
            cell->setData(3, group.get(), 0);
        page.resize(width, 200);
        page.show();
        QApplication::processEvents();
        answerPlainCell(cell, QStringLiteral("慢性阻塞性肺疾病，诊断依据：长期吸烟史、慢性咳嗽咳痰、肺功能提示持续气流受限。"));
        page.resize(width, layout->totalHeightForWidth(width));
        saveSnapshot(&page, dir, QStringLiteral("%1_%2").arg(name).arg(width));
    }
}

void savePlainCells(const QDir &dir)
{
    const QString picture = QStringLiteral("answer like '%.png]%'");
    for (Fill fill : {Fill::Practice, Fill::Exam}) {
        const QString mode = fill == Fill::Exam ? QStringLiteral("exam") : QStringLiteral("practice");
        savePlainCell<YNCellForm>(firstGroup(11), fill, dir, QStringLiteral("yn_%1").arg(mode));
        savePlainCell<BLANKCellForm>(firstGroup(10, QStringLiteral("queText like '%.png]%'")), fill, dir,
                                     QStringLiteral("blank_%1").arg(mode));
        savePlainCell<SIMPLE_CASE_EXPLAINECellForm>(firstGroup(14), fill, dir, QStringLiteral("case14_%1").arg(mode));
        savePlainCell<SIMPLE_CASE_EXPLAINECellForm>(firstGroup(16, picture), fill, dir,
                                                    QStringLiteral("case16_picture_%1").arg(mode));
    }
}

bool openBank(const QString &path)
{
    SqliteClass *store = SqliteClass::instance();
    store->closeDatabase();
    return store->openDatabase(path, QString::fromLatin1(FixtureBank::builtinPhrase()), 0) == 2
        && store->loadQuestionTypes() == 0;
}

void saveCells(const QDir &dir)
{
    // A copy, so the answers given here stay out of the demo subject.
    QTemporaryDir demo;
    QDir().mkpath(demo.filePath(QStringLiteral("images")));
    QFile::copy(QStringLiteral(DEMO_DIR "/data/MedicalDB.db"), demo.filePath(QStringLiteral("MedicalDB.db")));
    for (const QString &image : QDir(QStringLiteral(DEMO_DIR "/data/images")).entryList(QDir::Files))
        QFile::copy(QStringLiteral(DEMO_DIR "/data/images/") + image, demo.filePath(QStringLiteral("images/") + image));
    if (openBank(demo.path())) {
        saveCell(1, 0, Fill::Practice, {0}, dir, QStringLiteral("cell_type1_wrong"));
        saveCell(11, 0, Fill::Practice, {0, 1, 3}, dir, QStringLiteral("cell_type6"));
        saveCell(7, 0, Fill::Practice, {}, dir, QStringLiteral("cell_type2_picture"));
        saveCell(10, 1, Fill::Exam, {1}, dir, QStringLiteral("cell_exam_type3"));
        const int sharedGroup = sqlCount(QStringLiteral("select min(cateListId) from tCateList where queTypeId = 7"));
        saveSharedOptions(sharedGroup, Fill::Practice, false, dir, QStringLiteral("b1_practice"));
        saveSharedOptions(sharedGroup, Fill::Exam, false, dir, QStringLiteral("b1_exam"));
        saveSharedOptions(sharedGroup, Fill::Exam, true, dir, QStringLiteral("b1_exam_answers_shown"));
        savePlainCells(dir);
    }
    FixtureBank fixture;
    // Group 106 with a long sub-question, a long option and a picture option.
    fixture.addSql(QStringLiteral("update tQue set queText = queText || '，其临床表现为高热、寒战、咳嗽、咳脓性痰、胸痛，"
                                  "胸部X线可见多发性小脓肿及肺气囊形成，病情进展迅速' where queId = 1009"));
    fixture.addSql(QStringLiteral("update tQueOpt set optText = optText || '（常见于糖尿病、酗酒及慢性阻塞性肺疾病患者，"
                                  "痰呈砖红色胶冻样）' where queId = 1008 and optName = 'C'"));
    fixture.addSql(QStringLiteral("update tQueOpt set optText = optText || '[img50.png]' where queId = 1008 and optName = 'E'"));
    if (fixture.open() && openBank(fixture.path())) {
        saveCell(103, 1, Fill::Practice, {}, dir, QStringLiteral("cell_type3_picture_stem"));
        saveCell(114, 0, Fill::Practice, {}, dir, QStringLiteral("cell_1018_picture_options"));
        saveSharedOptions(106, Fill::Practice, false, dir, QStringLiteral("b1_long_texts"));
    }
    SqliteClass::instance()->closeDatabase();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: practice_snapshots OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    const QDir dir(QString::fromLocal8Bit(argv[1]));

    auto *note = new NoteDialog;
    note->setSkinColor(QStringLiteral("255,127,167,255"));
    note->setText(QStringLiteral("慢阻肺急性加重：抗感染、支气管扩张剂。\n注意与支气管哮喘的鉴别，<b>不是</b>加粗。"));
    saveSnapshot(note, dir, QStringLiteral("NoteDialog"));
    delete note;

    saveSummary(0, dir, QStringLiteral("ReturnQuestionsDialog_mode0"));
    saveSummary(1, dir, QStringLiteral("ReturnQuestionsDialog_mode1"));

    CellBk picker;
    saveSnapshot(&picker, dir, QStringLiteral("CellBk"));
    InterpretationForm explanation;
    saveSnapshot(&explanation, dir, QStringLiteral("InterpretationForm"));

    saveRings(QStringLiteral("80,153,2,255"), dir, QStringLiteral("rings_green"));
    saveRings(QStringLiteral("255,127,167,255"), dir, QStringLiteral("rings_pink"));
    saveCells(dir);
    return 0;
}
