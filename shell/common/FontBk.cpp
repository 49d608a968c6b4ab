#include "FontBk.h"
#include "ui_FontBk.h"

#include "Translucency.h"

#include <QApplication>

FontBk::FontBk(QWidget *parent)
    : QWidget(parent), ui(new Ui::FontBk)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
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

void FontBk::showEvent(QShowEvent *)
{
    qApp->installEventFilter(this);
}

void FontBk::hideEvent(QHideEvent *)
{
    qApp->removeEventFilter(this);
}

bool FontBk::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget == this || isAncestorOf(widget))
        return false;
    // The click that closes the picker must not also answer a question under it.
    close();
    return true;
}
