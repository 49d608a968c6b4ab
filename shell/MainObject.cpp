#include "MainObject.h"

#include "MainWidget.h"

#include <QCoreApplication>

MainObject::MainObject(QObject *parent)
    : QObject(parent)
    , mainWidget(new MainWidget)
{
    connect(mainWidget, &MainWidget::sendMainWidget, this, &MainObject::receiveMainWidget);
}

MainObject::~MainObject()
{
    delete mainWidget;
}

int MainObject::start(int flag)
{
    if (flag != 0)
        return 0;
    mainWidget->initMenu();
    return mainWidget->start();
}

void MainObject::receiveMainWidget()
{
    // The old window is still inside its emission: hide it now, delete it
    // once control is back in the event loop, and hear nothing more from it.
    MainWidget *old = mainWidget;
    disconnect(old, &MainWidget::sendMainWidget, this, &MainObject::receiveMainWidget);
    old->hide();
    old->deleteLater();

    mainWidget = new MainWidget;
    mainWidget->initMenu();
    connect(mainWidget, &MainWidget::sendMainWidget, this, &MainObject::receiveMainWidget);
    // A hidden window beside a running updater would leave a process the
    // user cannot end.
    if (mainWidget->start() == -1)
        QCoreApplication::quit();
}
