#include "QuestionTypeTipDialog4.h"
#include "ui_QuestionTypeTipDialog4.h"

#include "ExamDialogSetup.h"

QuestionTypeTipDialog4::QuestionTypeTipDialog4(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionTypeTipDialog4)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowSystemMenuHint);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->btn_confirm, SIGNAL(clicked()), this, SLOT(clickConfirm()));
    connect(ui->btn_cancel, SIGNAL(clicked()), this, SLOT(clickCancel()));
}

QuestionTypeTipDialog4::~QuestionTypeTipDialog4()
{
    delete ui;
}

void QuestionTypeTipDialog4::setText(const QString &text)
{
    ui->content->setText(text);
}

void QuestionTypeTipDialog4::clickConfirm()
{
    close();
}

void QuestionTypeTipDialog4::clickCancel()
{
    close();
}
