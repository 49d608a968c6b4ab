#include "SIMPLE_CASE_EXPLAINECellForm.h"
#include "ui_SIMPLE_CASE_EXPLAINECellForm.h"

SIMPLE_CASE_EXPLAINECellForm::SIMPLE_CASE_EXPLAINECellForm(QWidget *parent)
    : PlainCellBase(StemLine::DescriptionAndStem, parent), ui(new Ui::SIMPLE_CASE_EXPLAINECellForm)
{
    ui->setupUi(this);
    PlainWidgets widgets = formWidgets(ui);
    widgets.inputs = {ui->textEdit_answer};
    widgets.answerBox = ui->textEdit_answer;
    attachPlainWidgets(widgets);
}

SIMPLE_CASE_EXPLAINECellForm::~SIMPLE_CASE_EXPLAINECellForm()
{
    delete ui;
}

void SIMPLE_CASE_EXPLAINECellForm::setStyle(const QString &skin)
{
    PlainCellBase::setStyle(skin);
    ui->textEdit_answer->setStyleSheet(QStringLiteral("border:1px solid rgb(%1);").arg(skin));
}

void SIMPLE_CASE_EXPLAINECellForm::takeAnswers(const QuestionData &question)
{
    ui->label_rigthanswer->setText(QStringLiteral("正确答案: %1").arg(textHtml(answer)));
    restoreTypedAnswer(question);
}

// The typed text goes to the store only; receivers learn just the state.
void SIMPLE_CASE_EXPLAINECellForm::showAnswer()
{
    PlainCellBase::showAnswer();
    if (!hasQuestion() || mode != PracticeMode)
        return;
    const QString text = typedAnswer();
    if (text.isEmpty())
        return;
    const int state = typedAnswerState(text);
    recordAnswer(text, state);
    reportAnswer(state, QString());
}

void SIMPLE_CASE_EXPLAINECellForm::on_pushButton_showanswer_clicked()
{
    showAnswer();
}
