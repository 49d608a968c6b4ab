#include "BLANKCellForm.h"
#include "ui_BLANKCellForm.h"

BLANKCellForm::BLANKCellForm(QWidget *parent)
    : PlainCellBase(StemLine::DescriptionAndStem, parent), ui(new Ui::BLANKCellForm)
{
    ui->setupUi(this);
    PlainWidgets widgets = formWidgets(ui);
    widgets.inputs = {ui->label, ui->textEdit_answer};
    widgets.answerBox = ui->textEdit_answer;
    attachPlainWidgets(widgets);
}

BLANKCellForm::~BLANKCellForm()
{
    delete ui;
}

QString BLANKCellForm::answerLine(const QString &stored)
{
    const QString separator = stored.contains(QLatin1String("||")) ? QStringLiteral("||") : QStringLiteral("\u3000");
    return stored.split(separator).join(QLatin1Char(','));
}

void BLANKCellForm::takeAnswers(const QuestionData &question)
{
    ui->label_rigthanswer->setText(QStringLiteral("正确答案: %1").arg(answerLine(answer)));
    restoreTypedAnswer(question);
}

// Every press records the text, also when browsing a search hit; an empty
// box counts as a wrong answer.
void BLANKCellForm::on_pushButton_showanswer_clicked()
{
    if (!hasQuestion())
        return;
    showAnswer();
    const QString text = typedAnswer();
    const int state = typedAnswerIsRight(text, answer) ? 1 : 2;
    recordAnswer(text, state, Recording::PracticeAndBrowse);
    reportAnswer(state, text);
}
