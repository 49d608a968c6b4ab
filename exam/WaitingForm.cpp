#include "WaitingForm.h"
#include "ui_WaitingForm.h"

#include <QMovie>

WaitingForm::WaitingForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::WaitingForm)
{
    ui->setupUi(this);
    movie = new QMovie(QStringLiteral(":/Welcome/images/Welcome/waiting.gif"));
    ui->label_gif->setMovie(movie);
    movie->start();
}

WaitingForm::~WaitingForm()
{
    movie->stop();
    delete movie;
    delete ui;
}
