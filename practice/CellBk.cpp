#include "CellBk.h"
#include "ui_CellBk.h"

#include "Translucency.h"

namespace {

struct Swatch {
    const char *image;
    const char *color;
};

// In the order of the buttons pushButton, pushButton_2 … pushButton_8.
constexpr Swatch swatches[] = {
    {"bg1.png", "243,243,243,255"}, {"bg2.png", "229,233,243,255"}, {"bg3.png", "227,225,218,255"},
    {"bg4.png", "243,247,243,255"}, {"bg5.png", "239,227,241,255"}, {"bg6.png", "255,255,255,255"},
    {"bg7.png", "241,233,217,255"}, {"bg8.png", "48,48,48,255"},
};
// What a call from anywhere else gives: the white page.
constexpr int whiteSwatch = 5;

} // namespace

CellBk::CellBk(QWidget *parent)
    : QWidget(parent), ui(new Ui::CellBk)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
    for (QPushButton *button : buttons())
        connect(button, &QPushButton::clicked, this, &CellBk::receiveBkButtonSLot);
}

CellBk::~CellBk()
{
    delete ui;
}

QList<QPushButton *> CellBk::buttons() const
{
    return {ui->pushButton,   ui->pushButton_2, ui->pushButton_3, ui->pushButton_4,
            ui->pushButton_5, ui->pushButton_6, ui->pushButton_7, ui->pushButton_8};
}

void CellBk::receiveBkButtonSLot()
{
    int index = buttons().indexOf(qobject_cast<QPushButton *>(sender()));
    if (index < 0)
        index = whiteSwatch;
    emit sendBkData(QLatin1String(swatches[index].image), QLatin1String(swatches[index].color));
}

void CellBk::leaveEvent(QEvent *)
{
    close();
}
