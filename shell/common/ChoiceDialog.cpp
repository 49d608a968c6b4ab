#include "ChoiceDialog.h"
#include "ui_ChoiceDialog.h"

#include "Skin.h"

ChoiceDialog::ChoiceDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::ChoiceDialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);
    ui->label_message->setWordWrap(true);
}

ChoiceDialog::~ChoiceDialog()
{
    delete ui;
}

void ChoiceDialog::setTitle(const QString &title)
{
    ui->label_title->setText(title);
}

void ChoiceDialog::setMessage(const QString &message)
{
    ui->label_message->setText(message);
}

void ChoiceDialog::setSkinColor(const QString &color)
{
    if (color.isEmpty())
        return;
    const QString style = skinButtonStyle(color);
    ui->pushButton_save->setStyleSheet(style);
    ui->pushButton_save_2->setStyleSheet(style);
}

void ChoiceDialog::on_pushButton_save_clicked()
{
    emit sendOk();
    close();
}

void ChoiceDialog::on_pushButton_exit_clicked()
{
    close();
}

void ChoiceDialog::on_pushButton_save_2_clicked()
{
    close();
}
