// Draws the exam window's small pieces with real texts into PNG files, to
// look at them without a screen: exam_snapshots OUTDIR DEMO_SUBJECT_DIR
// (the demo subject's directory gives the question types' names and texts).
#include "BuiltinPassphrase.h"
#include "HelpDialog.h"
#include "NewTalkExamCell.h"
#include "QuestionTypeTipDialog.h"
#include "QuestionTypeTipDialog2.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog4.h"
#include "QuestionTypeTipDialog5.h"
#include "QueTypeData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstdio>

namespace {

QDir outDir;

void save(QWidget *widget, const QString &name)
{
    widget->show();
    QApplication::processEvents();
    widget->grab().save(outDir.filePath(name + QStringLiteral(".png")));
    widget->hide();
}

struct PartType
{
    QString name;
    QString description;
};

PartType partType(int queTypeId)
{
    QueTypeData *type = nullptr;
    SqliteClass::instance()->questionType(type, queTypeId);
    if (!type)
        return {QStringLiteral("题型%1").arg(queTypeId), QString()};
    return {type->queTypeName, type->memo};
}

void saveTipDialogs()
{
    const PartType single = partType(1), multiple = partType(6), matching = partType(7), cases = partType(4);

    auto *paper = new QuestionTypeTipDialog;
    paper->setPartNames({QStringLiteral("单项选择题(%1)").arg(single.name),
                         QStringLiteral("多选题(%1)").arg(multiple.name),
                         QStringLiteral("案例分析题(%1)").arg(cases.name)});
    paper->setPartDescriptions({single.description, multiple.description, cases.description});
    save(paper, QStringLiteral("QuestionTypeTipDialog_parts"));
    paper->clickConfirm();
    save(paper, QStringLiteral("QuestionTypeTipDialog_description"));
    delete paper;

    auto *next = new QuestionTypeTipDialog2;
    next->setTexts(matching.description, QStringLiteral("单项选择题(%1)").arg(single.name),
                   QStringLiteral("配伍题(%1)").arg(matching.name));
    save(next, QStringLiteral("QuestionTypeTipDialog2_next_part"));
    delete next;

    // As the exam window asks: 30 numbers, every number of a fresh paper 2
    // (scrolled to its end too), and none.
    QString numbers;
    for (int i = 1; i <= 25; ++i)
        numbers += QStringLiteral("%1, ").arg(i);
    for (int i = 1; i <= 5; ++i)
        numbers += QStringLiteral("26.%1, ").arg(i);
    QString paper2;
    for (int i = 1; i <= 60; ++i)
        paper2 += QStringLiteral("%1, ").arg(i);
    for (int i = 61; i <= 78; ++i) {
        for (int k = 1; k <= (i <= 70 ? 2 : 3); ++k)
            paper2 += QStringLiteral("%1.%2, ").arg(i).arg(k);
    }
    for (const auto &listed : {qMakePair(numbers, QStringLiteral("30")), qMakePair(paper2, QStringLiteral("paper2"))}) {
        auto *submit = new QuestionTypeTipDialog3;
        submit->setText(QStringLiteral("您有[%1项]没有选择答案.").arg(listed.first));
        submit->setQuestion(QStringLiteral("确定要提交试卷吗?"));
        save(submit, QStringLiteral("QuestionTypeTipDialog3_submit_") + listed.second);
        QScrollBar *bar = submit->findChild<QScrollArea *>()->verticalScrollBar();
        if (bar->maximum() > 0) {
            submit->show();
            bar->setValue(bar->maximum());
            save(submit, QStringLiteral("QuestionTypeTipDialog3_submit_%1_end").arg(listed.second));
        }
        delete submit;
    }
    auto *submitAll = new QuestionTypeTipDialog3;
    submitAll->setText(QStringLiteral("您确定要提交试卷吗?"));
    save(submitAll, QStringLiteral("QuestionTypeTipDialog3_submit_all_answered"));
    delete submitAll;

    auto *result = new QuestionTypeTipDialog4;
    result->setText(QStringLiteral("本次共[%1]题\n正确: %2题  错误: %3题  未答: %4题").arg(100).arg(62).arg(30).arg(8));
    save(result, QStringLiteral("QuestionTypeTipDialog4_result"));
    delete result;

    auto *notice = new QuestionTypeTipDialog5;
    notice->setText(QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入下一题。"));
    save(notice, QStringLiteral("QuestionTypeTipDialog5_notice"));
    delete notice;

    HelpDialog help;
    help.setText(matching.description);
    save(&help, QStringLiteral("HelpDialog"));
}

// A section of twelve buttons on the card's light blue, 263 pixels wide as
// in the exam window's card column.
void saveSection()
{
    QWidget card;
    card.setStyleSheet(QStringLiteral("background-color: rgb(189, 225, 243);"));
    card.setFixedWidth(263);
    auto *column = new QVBoxLayout(&card);
    column->setContentsMargins(0, 0, 0, 0);
    auto *section = new NewTalkExamCell;
    section->setTitle(QStringLiteral("案例分析题(%1)").arg(partType(4).name));
    for (int i = 0; i < 12; ++i) {
        // Whole numbers, then a case group's sub-numbers up to 26.11.
        section->setPendingNumber(i == 0 ? QStringLiteral("25")
                                         : QStringLiteral("26.%1").arg(i, 2, 10, QLatin1Char('0')));
        section->addNumber(i);
        section->setNumberState(i, i % 3);
    }
    column->addWidget(section, 0, Qt::AlignTop);
    column->addStretch();
    card.resize(263, 240);
    save(&card, QStringLiteral("NewTalkExamCell_states"));
    section->findChild<QAbstractButton *>(QStringLiteral("toolButton"))->click();
    save(&card, QStringLiteral("NewTalkExamCell_collapsed"));
}

void saveOverlay()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color: rgb(160, 160, 160);"));
    window.resize(1024, 700);
    auto *button = new QPushButton(QStringLiteral("下一题"), &window);
    button->setGeometry(40, 620, 110, 45);
    auto *overlay = new WaitingForm(&window);
    overlay->setGeometry(0, 0, window.width(), window.height());
    save(&window, QStringLiteral("WaitingForm_1024x700"));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: exam_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    outDir = QDir(QString::fromLocal8Bit(argv[1]));
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    if (store->openDatabase(QString::fromLocal8Bit(argv[2]), phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "exam_snapshots: cannot read the demo subject: %s\n", qPrintable(store->lastErrorText()));
        return 1;
    }
    saveTipDialogs();
    saveSection();
    saveOverlay();
    return 0;
}
