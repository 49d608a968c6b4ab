#include "YNCellForm.h"
#include "ui_YNCellForm.h"

#include "OptionData.h"
#include "QuestionData.h"

namespace {

// The option's name, its text after the letter; a missing option hides its button.
QString takeOption(QRadioButton *button, const QString &letter, const OptionData *option)
{
    if (!option) {
        button->hide();
        return QString();
    }
    button->setText(letter + option->optText);
    return option->optName;
}

} // namespace

YNCellForm::YNCellForm(QWidget *parent) : PlainCellBase(StemLine::StemOnly, parent), ui(new Ui::YNCellForm)
{
    ui->setupUi(this);
    PlainWidgets widgets = formWidgets(ui);
    widgets.inputs = {ui->radioButton, ui->radioButton_2};
    widgets.choices = {ui->radioButton, ui->radioButton_2};
    attachPlainWidgets(widgets);
    // Only the practice page asks for the answer at once.
    setShowAnswerAtOnce(false);
}

YNCellForm::~YNCellForm()
{
    delete ui;
}

// A saved answer naming neither option checks none and counts as not answered.
void YNCellForm::takeAnswers(const QuestionData &question)
{
    ui->label_rigthanswer->setText(QStringLiteral("正确答案: %1").arg(answer));
    optionAName = takeOption(ui->radioButton, QStringLiteral("A."), question.options.value(0));
    optionBName = takeOption(ui->radioButton_2, QStringLiteral("B."), question.options.value(1));
    userAnswer = question.userAnswer;
    QRadioButton *saved = nullptr;
    if (!userAnswer.isEmpty() && userAnswer == optionAName)
        saved = ui->radioButton;
    else if (!userAnswer.isEmpty() && userAnswer == optionBName)
        saved = ui->radioButton_2;
    if (saved)
        saved->setChecked(true);
    userStatus = !saved ? 0 : (answer == userAnswer ? 1 : 2);
}

void YNCellForm::on_radioButton_clicked(bool)
{
    choose(optionAName);
}

void YNCellForm::on_radioButton_2_clicked(bool)
{
    choose(optionBName);
}

// Every click counts, also one on the option already chosen.
void YNCellForm::choose(const QString &optName)
{
    if (!takesAnswers())
        return;
    userAnswer = optName;
    const int state = answer == userAnswer ? 1 : 2;
    if (mode == PracticeMode && showAnswerAtOnce)
        showAnswer();
    recordAnswer(userAnswer, state);
    reportAnswer(state, userAnswer);
}

void YNCellForm::on_pushButton_showanswer_clicked()
{
    showAnswer();
}
