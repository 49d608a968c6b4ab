#include "DataRecoveryWidget.h"

#include "StandIn.h"

DataRecoveryWidget::DataRecoveryWidget(QWidget *parent)
    : FramelessDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(400, 200);
    // The dialog is translucent: the title gets a ground of its own.
    setStyleSheet(QStringLiteral("#label_standIn{background-color: white; border: 1px solid rgb(180,180,180);}"));
    standInTitle(this, QStringLiteral("数据修复"));
    standInCall("DataRecoveryWidget", "DataRecoveryWidget");
}

DataRecoveryWidget::~DataRecoveryWidget() = default;

void DataRecoveryWidget::setSkinColor(const QString &color)
{
    Q_UNUSED(color)
    standInCall("DataRecoveryWidget", "setSkinColor");
}
