#include "MyMessageBox.h"
#include "ui_MyMessageBox.h"

#include "Skin.h"

MyMessageBox::MyMessageBox(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::MyMessageBox)
{
    ui->setupUi(this);
    ui->label_message->setWordWrap(true);
}

MyMessageBox::~MyMessageBox()
{
    delete ui;
}

void MyMessageBox::setTitle(const QString &title)
{
    ui->label_title->setText(title);
}

void MyMessageBox::setMessage(const QString &message)
{
    ui->label_message->setText(message);
}

void MyMessageBox::setSkinColor(const QString &color)
{
    // "rgb()" would leave a white caption on no background at all.
    if (color.isEmpty())
        return;
    ui->pushButton_save->setStyleSheet(skinButtonStyle(color));
}

void MyMessageBox::on_pushButton_save_clicked()
{
    close();
}

void MyMessageBox::on_pushButton_exit_clicked()
{
    close();
}
