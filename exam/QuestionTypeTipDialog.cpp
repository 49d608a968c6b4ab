#include "QuestionTypeTipDialog.h"
#include "ui_QuestionTypeTipDialog.h"

#include "ExamDialogSetup.h"

QuestionTypeTipDialog::QuestionTypeTipDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionTypeTipDialog)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setExamDialogIcon(this);
    connect(ui->btn_confirm, SIGNAL(clicked()), this, SLOT(clickConfirm()));
}

QuestionTypeTipDialog::~QuestionTypeTipDialog()
{
    delete ui;
}

void QuestionTypeTipDialog::setPartNames(const QStringList &names)
{
    partNames = names;
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines.append(QStringLiteral("第%1部分：%2").arg(i + 1).arg(names.at(i)));
    ui->content->setText(lines.join(QStringLiteral("\r\n")));
    ui->title->setText(QStringLiteral("试卷描述"));
}

void QuestionTypeTipDialog::setPartDescriptions(const QStringList &descriptions)
{
    partDescriptions = descriptions;
}

void QuestionTypeTipDialog::clickConfirm()
{
    if (pressCount > 0) {
        close();
        return;
    }
    // A paper handed over without descriptions shows an empty one.
    ui->title->setText(QStringLiteral("题型描述"));
    ui->content->setText(partDescriptions.value(0) + QStringLiteral("\n\n"));
    pressCount = 1;
}
