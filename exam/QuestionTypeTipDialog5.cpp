#include "QuestionTypeTipDialog5.h"
#include "ui_QuestionTypeTipDialog5.h"

#include "ExamDialogSetup.h"

QuestionTypeTipDialog5::QuestionTypeTipDialog5(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionTypeTipDialog5)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowSystemMenuHint);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->btn_confirm, SIGNAL(clicked()), this, SLOT(clickConfirm()));
}

QuestionTypeTipDialog5::~QuestionTypeTipDialog5()
{
    delete ui;
}

void QuestionTypeTipDialog5::setText(const QString &text)
{
    ui->content->setText(text);
}

void QuestionTypeTipDialog5::clickConfirm()
{
    close();
}
