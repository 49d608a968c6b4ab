#include "QuestionCellForm.h"
#include "ui_QuestionCellForm.h"

#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionData.h"

#include <QShortcut>

namespace {

// Letter keys end with "M": a later row would need a letter other widgets may use.
constexpr int letterKeyRows = 13;

// Answers compare without blanks: "A C" is the answer AC.
QString withoutBlanks(const QString &letters)
{
    return QString(letters).remove(QLatin1Char(' '));
}

QChar firstOf(const QString &text)
{
    return text.isEmpty() ? QChar() : text.at(0);
}

} // namespace

QuestionCellForm::QuestionCellForm(QWidget *parent)
    : QuestionCellBase(FilledHover::WhiteGround, parent), ui(new Ui::QuestionCellForm)
{
    ui->setupUi(this);
    Widgets shared;
    shared.number = ui->label_id;
    shared.typeName = ui->label_typename;
    shared.mark = ui->pushButton_mark;
    shared.note = ui->pushButton_note;
    shared.outlined = {ui->pushButton_downquestion, ui->pushButton_upquestion, ui->pushButton_mark,
                       ui->pushButton_note,         ui->pushButton_showanswer, ui->pushButton_error};
    attachWidgets(shared);

    for (QWidget *hidden : std::initializer_list<QWidget *>{ui->textEdit_prompt, ui->pushButton_downquestion,
                                                           ui->pushButton_upquestion, ui->label_rigthanswer,
                                                           ui->widget_answer})
        hidden->hide();
}

QuestionCellForm::~QuestionCellForm()
{
    delete ui;
}

void QuestionCellForm::setForwardClicks(int flag)
{
    forwardClicks = flag;
}

void QuestionCellForm::setIndex(int newIndex)
{
    index = newIndex;
}

int QuestionCellForm::setQuestion(int number, MainQuestion *group, QuestionData *question,
                                  const QList<OptionData *> &options, int cellMode)
{
    errorKind = 0;
    index = number - 1;
    mode = cellMode == 1 ? BrowseMode : PracticeMode;
    clearRows();
    ui->label_id->setText(QString::number(number));
    ui->label_typename->setText(QStringLiteral("[%1]").arg(group->queType ? group->queType->queTypeName : QString()));
    ui->textEdit_questiontypename->setText(questionHtml(group->publicQueText));
    ui->textEdit_title->setText(questionHtml(question->queText));
    takeQuestion(*question);
    ui->label_rigthanswer->hide();
    takeChoiceKind(*group);
    userLetters = question->userAnswer;
    takeUserMarks(*question);
    buildRows(options);
    restoreAnswer();
    if (userLetters.isEmpty()) {
        ui->textEdit_prompt->hide();
        return 0;
    }
    showAnswer();
    return 1;
}

void QuestionCellForm::setExamQuestion(int sourceKind, const QString &number, int newIndex, MainQuestion *group,
                                       QuestionData *question, const QList<OptionData *> &options)
{
    for (QWidget *hidden : std::initializer_list<QWidget *>{ui->label_id, ui->pushButton_mark, ui->pushButton_note,
                                                           ui->pushButton_downquestion, ui->pushButton_upquestion,
                                                           ui->pushButton_showanswer, ui->label_rigthanswer})
        hidden->hide();
    errorKind = sourceKind == 2 ? 1 : 0;
    ui->pushButton_error->setVisible(sourceKind == 2);
    mode = ExamMode;
    index = newIndex;
    clearRows();
    ui->textEdit_questiontypename->setVisible(!group->publicQueText.isEmpty());
    if (!group->publicQueText.isEmpty())
        ui->textEdit_questiontypename->setText(textHtml(group->publicQueText));
    ui->textEdit_title->setText(textHtml(QStringLiteral("(%1) %2").arg(number, question->queText)));
    takeChoiceKind(*group);
    takeQuestion(*question);
    userLetters = question->userAnswer;
    buildRows(options);
    if (answered)
        showAnswer();
    restoreAnswer();
}

// Types 3, 4 and 6 take any number of options. Without a type record the
// group's own type code decides.
void QuestionCellForm::takeChoiceKind(const MainQuestion &group)
{
    const int type = group.queType ? group.queType->queTypeId : group.queTypeId;
    choiceKind = (type == 3 || type == 4 || type == 6) ? 1 : 0;
}

void QuestionCellForm::clearRows()
{
    qDeleteAll(rows);
    rows.clear();
    qDeleteAll(letterKeys);
    letterKeys.clear();
    ui->tableWidget_questions->setRowCount(0);
}

void QuestionCellForm::buildRows(const QList<OptionData *> &options)
{
    QTableWidget *table = ui->tableWidget_questions;
    table->setColumnCount(1);
    table->setRowCount(options.size());
    for (int i = 0; i < options.size(); ++i) {
        auto *row = new QuestionAnswerCellForm(this);
        connect(row, &QuestionAnswerCellForm::sendclick, this, &QuestionCellForm::receiveclicked);
        row->show();
        const QString text = QStringLiteral("%1.%2").arg(options[i]->optName, options[i]->optText);
        const int pictureHeight = row->setOptionText(text);
        if (i < letterKeyRows) {
            auto *key = new QShortcut(QKeySequence(QChar(firstLetter + i)), this, nullptr, nullptr, Qt::WindowShortcut);
            connect(key, &QShortcut::activated, this, &QuestionCellForm::slt_KeyGoods);
            letterKeys.append(key);
        }
        row->setChoiceKind(choiceKind);
        row->setRow(i);
        row->setChecked(0);
        table->setCellWidget(i, 0, row);
        table->setRowHeight(i, rowHeight(pictureHeight, text.size()));
        rows.append(row);
    }
}

// A tall picture gets its height and room for the text; a row with a long
// text and no picture gets two lines in the exam. No picture is cut off.
int QuestionCellForm::rowHeight(int pictureHeight, int textLength) const
{
    if (pictureHeight > 100)
        return pictureHeight + 100;
    int height = textLength > 29 ? 100 : 60;
    if (pictureHeight <= 24 && mode != ExamMode)
        height = 60;
    return qMax(height, pictureHeight + 10);
}

int QuestionCellForm::rowOfLetter(QChar letter) const
{
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        return -1;
    const int row = letter.unicode() - firstLetter;
    return row < rows.size() ? row : -1;
}

void QuestionCellForm::receiveclicked(int row)
{
    handleClick(row);
}

void QuestionCellForm::slt_KeyGoods()
{
    handleClick(letterKeys.indexOf(qobject_cast<QShortcut *>(sender())));
}

void QuestionCellForm::handleClick(int row)
{
    if (!takesAnswers() || row < 0 || row >= rows.size())
        return;
    if (forwardClicks == 1) {
        emit sendClicked(index, row);
        return;
    }
    chooseOption(row);
}

void QuestionCellForm::chooseOption(int row)
{
    if (!takesAnswers() || row < 0 || row >= rows.size())
        return;
    if (choiceKind == 0) {
        for (int i = 0; i < rows.size(); ++i)
            rows[i]->setChecked(i == row ? 1 : 0);
        if (mode != ExamMode) {
            const int right = rowOfLetter(firstOf(withoutBlanks(answer)));
            for (QuestionAnswerCellForm *each : qAsConst(rows))
                each->setMark(0, showAnswerAtOnce);
            rows[row]->setMark(row == right ? 1 : 2, showAnswerAtOnce);
            if (right >= 0 && right != row)
                rows[right]->setMark(1, showAnswerAtOnce);
            if (showAnswerAtOnce)
                showAnswer();
            else
                answered = true;
        }
    } else {
        rows[row]->setChecked(rows[row]->isChecked() == 1 ? 0 : 1);
        ui->tableWidget_questions->setCurrentCell(row, 0);
        currentRow = row;
    }
    judgeAnswer();
    emit sendState(index, userStatus, userLetters);
}

int QuestionCellForm::judgeAnswer()
{
    userLetters.clear();
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i]->isChecked() == 1)
            userLetters.append(QChar(firstLetter + i));
    }
    if (userLetters.isEmpty())
        userStatus = 0;
    else
        userStatus = userLetters == withoutBlanks(answer) ? 1 : 2;
    recordAnswer(userLetters, userStatus);
    return userStatus;
}

// A saved answer comes back as checked rows, judged as a choice is; it is
// not recorded again. Letters that name no row check nothing.
void QuestionCellForm::restoreAnswer()
{
    const QString saved = withoutBlanks(userLetters);
    if (saved.isEmpty()) {
        userStatus = 0;
        return;
    }
    userStatus = saved == withoutBlanks(answer) ? 1 : 2;
    if (choiceKind == 0) {
        const int row = rowOfLetter(saved.at(0));
        if (row < 0)
            return;
        rows[row]->setChecked(1);
        if (mode != ExamMode)
            rows[row]->setMark(userStatus, true);
        return;
    }
    for (QChar letter : saved) {
        const int row = rowOfLetter(letter);
        if (row >= 0)
            rows[row]->setChecked(1);
    }
}

void QuestionCellForm::showAnswer()
{
    ui->widget_answer->show();
    answered = true;
    ui->label_rigthanswer->show();
    ui->label_rigthanswer->setText(QStringLiteral("正确答案: %1").arg(answer));
    if (!analysis.isEmpty()) {
        ui->textEdit_prompt->setText(QStringLiteral("题目解析:%1").arg(textHtml(analysis)));
        ui->textEdit_prompt->show();
    }
}

void QuestionCellForm::on_pushButton_showanswer_clicked()
{
    showAnswer();
}

void QuestionCellForm::receiveDownButton(bool)
{
    emit sendDownQuestion();
}

void QuestionCellForm::receiveUpButton(bool)
{
    emit sendUpQuestion();
}
