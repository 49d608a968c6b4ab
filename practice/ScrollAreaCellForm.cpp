#include "ScrollAreaCellForm.h"
#include "ui_ScrollAreaCellForm.h"

#include "B1CellForm.h"
#include "ConfigIni.h"
#include "ErrorReport.h"
#include "MainQuestion.h"
#include "PlainCellBase.h"
#include "QuestionCellFactory.h"
#include "QuestionCellForm.h"
#include "QuestionData.h"

#include <QScrollBar>

using Kind = QuestionCellFactory::Kind;

namespace {

// A style sheet set on the scroll area (setStyle) outranks the view's own
// rules for everything inside it, the scroll bars included, and would leave
// them without a handle; their own sheets outrank it in turn.
const char scrollBarStyle[] =
    "QScrollBar:vertical{width: 10px;background: rgb(255, 255, 255);margin: 0px;border: none;}"
    "QScrollBar::handle:vertical{background: rgb(195, 195, 195);border-radius: 3px;min-height: 20px;}"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical{height: 0px;border: none;background: none;}"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical{background: none;}"
    "QScrollBar:horizontal{height: 9px;}";

} // namespace

ScrollAreaCellForm::ScrollAreaCellForm(QWidget *parent) : QWidget(parent), ui(new Ui::ScrollAreaCellForm)
{
    ui->setupUi(this);
    ui->scrollArea->verticalScrollBar()->setStyleSheet(QString::fromLatin1(scrollBarStyle));
    ui->scrollArea->horizontalScrollBar()->setStyleSheet(QString::fromLatin1(scrollBarStyle));
    // The content widget would cover the reading colour around and between
    // the cell's transparent parts with white or the window's grey; the
    // viewport behind it, which takes the colour, shows through instead.
    ui->scrollAreaWidgetContents->setAutoFillBackground(false);
    ui->scrollAreaWidgetContents->setStyleSheet(
        QStringLiteral("#scrollAreaWidgetContents{background-color: transparent;}"));
}

ScrollAreaCellForm::~ScrollAreaCellForm()
{
    clearCells();
    delete ui;
}

void ScrollAreaCellForm::setStyle(const QString &skin, int mode)
{
    skinColor = skin;
    {
        ConfigIni config;
        questionFont = config.text(QStringLiteral("QuestionCell/questionfont"));
        questionColor = config.text(QStringLiteral("QuestionCell/questioncolor"));
    }
    if (questionColor.isEmpty())
        questionColor = QStringLiteral("255,255,255,255");
    if (questionFont.isEmpty())
        questionFont = QStringLiteral("12");
    if (mode == 1)
        ui->scrollArea->setStyleSheet(
            QStringLiteral("border:0px;background-color: transparent;font: 75 %1pt \"微软雅黑\";").arg(questionFont));
    else if (mode == 0)
        ui->scrollArea->setStyleSheet(QStringLiteral("background-color: rgb(%1);font: 75 %2pt \"微软雅黑\";")
                                          .arg(questionColor, questionFont));
}

void ScrollAreaCellForm::setKeyword(const QString &word)
{
    keyword = word;
}

void ScrollAreaCellForm::setSourceKind(int kind)
{
    sourceKind = kind;
}

void ScrollAreaCellForm::clearCells()
{
    while (QLayoutItem *item = ui->verticalLayout_add->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

QWidget *ScrollAreaCellForm::shownCell() const
{
    QLayoutItem *item = ui->verticalLayout_add->itemAt(0);
    return item ? item->widget() : nullptr;
}

// Choice and shared-option cells read the group's first question, so a
// group without any shows nothing; the other cells stay inert on their own.
QWidget *ScrollAreaCellForm::addCell(const MainQuestion *group)
{
    if (!group)
        return nullptr;
    const Kind kind = QuestionCellFactory::kindOf(group->queTypeId);
    if ((kind == Kind::Choice || kind == Kind::SharedOption) && group->questions.isEmpty())
        return nullptr;
    QWidget *cell = QuestionCellFactory::create(
        group->queTypeId, this, [this](int id, int state, QString answer) { receiveScrollState(id, state, answer); },
        [this](int kind, int queId, QString text) { receiveChangeError(kind, queId, text); });
    if (!cell)
        return nullptr;
    ui->verticalLayout_add->addWidget(cell);
    QuestionCellFactory::setStyle(cell, skinColor);
    return cell;
}

void ScrollAreaCellForm::showQuestion(MainQuestion *group, int index, int cellMode)
{
    clearCells();
    shownAny = true;
    QWidget *cell = addCell(group);
    if (!cell)
        return;
    QuestionCellFactory::setKeyword(cell, keyword);
    const int number = index + 1;
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell)) {
        QuestionData *question = group->questions.first();
        choice->setQuestion(number, group, question, question->options, cellMode);
    } else if (auto *shared = qobject_cast<B1CellForm *>(cell)) {
        shared->setData(sourceKind, QString::number(number), number, group, cellMode == 1 ? 2 : 0);
    } else if (auto *plain = qobject_cast<PlainCellBase *>(cell)) {
        plain->setData(number, group, cellMode);
    }
}

void ScrollAreaCellForm::showExamQuestion(MainQuestion *group, int index, const QString &numberText,
                                          bool showAnswerNow)
{
    clearCells();
    shownAny = true;
    QWidget *cell = addCell(group);
    if (!cell)
        return;
    const int number = index + 1;
    if (auto *choice = qobject_cast<QuestionCellForm *>(cell)) {
        if (answerShown)
            choice->showAnswer();
        QuestionData *question = group->questions.first();
        choice->setExamQuestion(sourceKind, numberText, number, group, question, question->options);
    } else if (auto *shared = qobject_cast<B1CellForm *>(cell)) {
        shared->setData(sourceKind, numberText, number, group, 1);
    } else if (auto *plain = qobject_cast<PlainCellBase *>(cell)) {
        // The exam fill: the answer lives in the exam's record, never in the bank.
        plain->setExamData(number, group);
    }
    if (showAnswerNow)
        showAnswer();
}

// Before any question there is no answer to reveal, and no later question
// should open its answer because of it.
void ScrollAreaCellForm::showAnswer()
{
    if (!shownAny)
        return;
    answerShown = true;
    QuestionCellFactory::showAnswer(shownCell());
}

int ScrollAreaCellForm::answerState() const
{
    return QuestionCellFactory::answerState(shownCell());
}

void ScrollAreaCellForm::receiveScrollState(int id, int state, QString useranswer)
{
    emit sendScrollState(id, state, useranswer);
}

void ScrollAreaCellForm::receiveChangeError(int, int queid, QString queText)
{
    errorReport = ErrorReport::open(skinColor, sourceKind == 2 ? 1 : 0, queid, queText);
}
