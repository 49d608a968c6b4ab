#include "PlainCellBase.h"

#include "MainQuestion.h"
#include "QueTypeData.h"
#include "QuestionData.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>

namespace {

// A typed text as it is compared: what a user cannot tell apart on screen,
// or types by habit of keyboard or input method, counts as the same.
QString comparable(const QString &text)
{
    QString folded;
    folded.reserve(text.size());
    for (QChar c : text) {
        const ushort code = c.unicode();
        if (code >= 0xFF01 && code <= 0xFF5E)
            c = QChar(ushort(code - 0xFEE0));
        else if (code == 0x3000)
            c = QLatin1Char(' ');
        if (c.script() == QChar::Script_Latin)
            c = c.toLower();
        folded += c;
    }
    return folded.simplified();
}

} // namespace

PlainCellBase::PlainCellBase(StemLine line, QWidget *parent)
    : QuestionCellBase(FilledHover::Plain, parent), stemLine(line)
{
}

void PlainCellBase::attachPlainWidgets(const PlainWidgets &widgets)
{
    plain = widgets;
    Widgets shared;
    shared.number = plain.number;
    shared.mark = plain.mark;
    shared.note = plain.note;
    shared.outlined = {plain.mark, plain.note, plain.showAnswer, plain.error};
    attachWidgets(shared);
    // These cells send no error reports: the button never shows.
    for (QWidget *hidden : std::initializer_list<QWidget *>{plain.rightAnswer, plain.prompt, plain.error})
        hidden->hide();
    if (plain.answerBox)
        connect(plain.answerBox, &QTextEdit::textChanged, this, &PlainCellBase::receiveTypedChange);
}

void PlainCellBase::setData(int number, MainQuestion *group, int cellMode)
{
    fill(number, group, cellMode == 1 ? BrowseMode : PracticeMode);
}

void PlainCellBase::setExamData(int number, MainQuestion *group)
{
    fill(number, group, ExamMode);
}

void PlainCellBase::fill(int number, const MainQuestion *group, WorkMode workMode)
{
    mode = workMode;
    index = number - 1;
    plain.number->setText(QString::number(number));
    const QuestionData *question = group && !group->questions.isEmpty() ? group->questions.first() : nullptr;
    filledQuestion = question != nullptr;
    QList<QWidget *> hidden;
    if (!question)
        hidden = plain.inputs;
    if (!question || mode == ExamMode)
        hidden << plain.showAnswer << plain.mark << plain.note;
    for (QWidget *widget : qAsConst(hidden))
        widget->hide();
    if (!question)
        return;

    plain.stem->setText(textHtml(stemText(*group)));
    plain.title->setText(questionHtml(question->queText));
    takeQuestion(*question);
    plain.prompt->setText(QStringLiteral("解析:%1").arg(textHtml(analysis)));
    if (mode != ExamMode)
        takeUserMarks(*question);
    takeAnswers(*question);
    // An exam that shows its answers asks before the fill, as of every cell.
    if (answered)
        PlainCellBase::showAnswer();
}

// The type's description and the stem on lines of their own; an empty one
// leaves no blank line.
QString PlainCellBase::stemText(const MainQuestion &group) const
{
    if (stemLine == StemLine::StemOnly)
        return group.publicQueText;
    QStringList lines;
    if (group.queType && !group.queType->memo.isEmpty())
        lines << group.queType->memo;
    if (!group.publicQueText.isEmpty())
        lines << group.publicQueText;
    return lines.join(QLatin1Char('\n'));
}

void PlainCellBase::showAnswer()
{
    answered = true;
    if (!filledQuestion)
        return;
    plain.rightAnswer->show();
    if (!analysis.isEmpty())
        plain.prompt->show();
    if (mode != ExamMode)
        return;
    for (QAbstractButton *choice : qAsConst(plain.choices))
        choice->setEnabled(false);
    if (plain.answerBox)
        plain.answerBox->setReadOnly(true);
}

bool PlainCellBase::typedAnswerIsRight(const QString &typed, const QString &stored)
{
    const QString given = comparable(typed);
    return !given.isEmpty() && given == comparable(stored);
}

void PlainCellBase::setInputOpen(bool open)
{
    for (QWidget *input : qAsConst(plain.inputs))
        input->setEnabled(open);
    plain.showAnswer->setEnabled(open);
}

// In the exam a typed answer counts once given: the exam window keeps it in
// its record and shows it again. Practice shows the state last recorded.
void PlainCellBase::restoreTypedAnswer(const QuestionData &question)
{
    const QSignalBlocker quiet(plain.answerBox);
    plain.answerBox->setPlainText(question.userAnswer);
    userStatus = mode == ExamMode ? typedAnswerState(question.userAnswer) : question.userStatus;
}

QString PlainCellBase::typedAnswer() const
{
    return plain.answerBox->toPlainText();
}

int PlainCellBase::typedAnswerState(const QString &text) const
{
    if (text.isEmpty())
        return 0;
    return typedAnswerIsRight(text, answer) ? 1 : 2;
}

void PlainCellBase::reportAnswer(int state, const QString &text)
{
    userStatus = state;
    emit sendAnswerState(index, state, text);
}

// Only the exam reports typing; practice reports on "显示答案".
void PlainCellBase::receiveTypedChange()
{
    if (mode != ExamMode || !takesAnswers())
        return;
    const QString text = typedAnswer();
    reportAnswer(typedAnswerState(text), text);
}
