#include "Resources.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLabel>
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

    // The main window arrives with the shell; until then show where it will be.
    QLabel window(QStringLiteral("医考练习"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(480, 320);
    window.show();
    return app.exec();
}
