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

// The search page promises to keep no records: browse mode only reports.
void BLANKCellForm::on_pushButton_showanswer_clicked()
{
    if (!hasQuestion())
        return;
    showAnswer();
    const QString text = typedAnswer();
    recordAnswer(text, 2);
    reportAnswer(2, text);
}
