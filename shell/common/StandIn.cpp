#include "StandIn.h"

#include <QDebug>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

void standInCall(const char *className, const char *operation)
{
    qDebug().noquote() << QStringLiteral("stand-in: %1::%2").arg(QLatin1String(className), QLatin1String(operation));
}

void standInTitle(QWidget *widget, const QString &title)
{
    widget->setWindowTitle(title);
    auto *layout = new QVBoxLayout(widget);
    auto *label = new QLabel(title, widget);
    label->setObjectName(QStringLiteral("label_standIn"));
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("font: 75 16pt \"微软雅黑\";\ncolor: rgb(140, 140, 140);"));
    layout->addWidget(label);
}
