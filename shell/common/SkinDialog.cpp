#include "SkinDialog.h"
#include "ui_SkinDialog.h"

namespace {

struct BuiltInSkin
{
    const char *name;
    const char *color;
};

// The names are those of the image files, not of the colours.
constexpr BuiltInSkin builtInSkins[] = {
    {"blue", "81,153,2,255"},
    {"green", "0,132,255,255"},
    {"pink", "255,127,167,255"},
    {"back", "87,87,87,255"},
};

} // namespace

SkinDialog::SkinDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::SkinDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
}

SkinDialog::~SkinDialog()
{
    delete ui;
}

void SkinDialog::leaveEvent(QEvent *)
{
    close();
}

// The frame picture of the form is the whole look.
void SkinDialog::paintEvent(QPaintEvent *)
{
}

void SkinDialog::sendSkin(int index)
{
    const BuiltInSkin &skin = builtInSkins[index];
    emit sendSkinDialogColor(QString::fromLatin1(skin.name), QString::fromLatin1(skin.color));
}

void SkinDialog::on_pushButton_exit_clicked()
{
    close();
}

void SkinDialog::on_pushButton_1_clicked()
{
    sendSkin(0);
}

void SkinDialog::on_pushButton_2_clicked()
{
    sendSkin(1);
}

void SkinDialog::on_pushButton_3_clicked()
{
    sendSkin(2);
}

void SkinDialog::on_pushButton_4_clicked()
{
    sendSkin(3);
}
