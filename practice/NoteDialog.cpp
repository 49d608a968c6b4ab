#include "NoteDialog.h"
#include "ui_NoteDialog.h"

#include "Skin.h"

NoteDialog::NoteDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::NoteDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
}

NoteDialog::~NoteDialog()
{
    delete ui;
}

void NoteDialog::setSkinColor(const QString &skin)
{
    ui->pushButton_save->setStyleSheet(skinButtonStyle(skin));
}

void NoteDialog::setText(const QString &note)
{
    ui->textEdit->setPlainText(note);
}

void NoteDialog::on_pushButton_save_clicked()
{
    emit sendSaveNote(ui->textEdit->toPlainText());
    close();
}

void NoteDialog::on_pushButton_exit_clicked()
{
    close();
}
