#include "AboutApp.h"
#include "ui_AboutApp.h"

AboutApp::AboutApp(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::AboutApp)
{
    ui->setupUi(this);
}

AboutApp::~AboutApp()
{
    delete ui;
}

void AboutApp::setMessage(const QString &message)
{
    ui->label_message->setText(message);
}

void AboutApp::setVersion(const QString &version)
{
    ui->label_V->setText(QStringLiteral("版本号: %1").arg(version));
}

void AboutApp::setLogo(int type, const QString &path)
{
    if (type == 1)
        ui->label_logo->setStyleSheet(
            QStringLiteral("border-image: url(:/MenuIcon/images/MenuIcon/corvelwang_normal.png)"));
    else if (!path.isEmpty())
        ui->label_logo->setStyleSheet(QStringLiteral("border-image: url(%1)").arg(path));
}

void AboutApp::on_pushButton_exit_clicked()
{
    close();
}
