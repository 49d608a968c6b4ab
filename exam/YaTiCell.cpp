#include "YaTiCell.h"
#include "ui_YaTiCell.h"

YaTiCell::YaTiCell(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::YaTiCell)
{
    ui->setupUi(this);
}

YaTiCell::~YaTiCell()
{
    delete ui;
}

void YaTiCell::setSkinColor(const QString &color)
{
    skinColor = color;
    // Outlined in the skin colour, filled under the mouse.
    ui->pushButton_startquestion->setStyleSheet(
        QStringLiteral("QPushButton{font: 75 11pt \"微软雅黑\";width:80px;height:23px;border-radius:5px;border:1px solid "
                       "rgb(%1);color:rgb(%2);}QPushButton:hover{color:rgb(255,255,255);background-color: rgb(%3);}")
            .arg(color, color, color));
}

void YaTiCell::setPaper(int row, int cateId, const QString &name)
{
    rowNumber = row;
    paperId = cateId;
    ui->label_text->setText(name);
}

void YaTiCell::on_pushButton_startquestion_clicked()
{
    emit sendYaTiCell(rowNumber, paperId);
}
