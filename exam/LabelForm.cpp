#include "LabelForm.h"
#include "ui_LabelForm.h"

namespace {

QString stateColor(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("224,224,224,255");
    case 1:
        return QStringLiteral("255,96,0,255");
    case 2:
        return QStringLiteral("41,157,216,255");
    default:
        return QString();
    }
}

} // namespace

LabelForm::LabelForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::LabelForm)
{
    ui->setupUi(this);
}

LabelForm::~LabelForm()
{
    delete ui;
}

void LabelForm::setId(int id)
{
    this->id = id;
}

void LabelForm::setState(int state)
{
    ui->pushButton->setStyleSheet(
        QStringLiteral("border:1px solid rgb(131,131,131,255);font: 75 11pt \"微软雅黑\";background-color:rgb(%1);")
            .arg(stateColor(state)));
    buttonState = state;
}

int LabelForm::state() const
{
    return buttonState;
}

void LabelForm::setNumberText(const QString &text)
{
    numberText = text;
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() > 1) {
        bool isNumber = false;
        const int subNumber = parts.at(1).toInt(&isNumber);
        if (isNumber && subNumber <= 9)
            numberText = QStringLiteral("%1.%2").arg(parts.at(0)).arg(subNumber);
    }
    ui->pushButton->setText(numberText);
}

QString LabelForm::text() const
{
    return ui->pushButton->text();
}

void LabelForm::click()
{
    ui->pushButton->click();
}

void LabelForm::on_pushButton_clicked(bool)
{
    emit sendClecked(id, numberText);
}
