#include "ErrorReportOpener.h"
#include "MainWidget.h"
#include "Resources.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    QTranslator translator;
    if (translator.load(QStringLiteral(":/qm/images/qm/qt_zh_CN.qm")))
        app.installTranslator(&translator);

    installErrorReportOpener();

    // The application object that rebuilds the window on a bank switch comes later.
    MainWidget window;
    if (window.start() == -1)
        return 0;
    return app.exec();
}
