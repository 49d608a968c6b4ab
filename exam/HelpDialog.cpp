#include "HelpDialog.h"
#include "ui_HelpDialog.h"

#include "ExamDialogSetup.h"

HelpDialog::HelpDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::HelpDialog)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowStaysOnTopHint);
    setExamDialogIcon(this);
}

HelpDialog::~HelpDialog()
{
    delete ui;
}

void HelpDialog::setText(const QString &text)
{
    ui->label_text->setText(text);
}

void HelpDialog::on_btn_confirm_clicked()
{
    close();
}
