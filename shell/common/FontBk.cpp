#include "FontBk.h"
#include "ui_FontBk.h"

FontBk::FontBk(QWidget *parent)
    : QWidget(parent), ui(new Ui::FontBk)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    for (QPushButton *button : {ui->pushButton_1, ui->pushButton_2, ui->pushButton_3})
        connect(button, &QPushButton::clicked, this, &FontBk::receiveButtonSLot);
}

FontBk::~FontBk()
{
    delete ui;
}

void FontBk::receiveButtonSLot()
{
    const QObject *from = sender();
    int size = 12;
    if (from == ui->pushButton_1)
        size = 14;
    else if (from == ui->pushButton_3)
        size = 10;
    emit sendFontData(size);
}

void FontBk::leaveEvent(QEvent *)
{
    close();
}
