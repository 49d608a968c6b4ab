#include "ConfigDialog.h"

#include "StandIn.h"

ConfigDialog::ConfigDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(400, 200);
    // The dialog is translucent: the title gets a ground of its own.
    setStyleSheet(QStringLiteral("#label_standIn{background-color: white; border: 1px solid rgb(180,180,180);}"));
    standInTitle(this, QStringLiteral("数据备份与恢复"));
    standInCall("ConfigDialog", "ConfigDialog");
}

ConfigDialog::~ConfigDialog() = default;

void ConfigDialog::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("ConfigDialog", "setSkinColor");
}
