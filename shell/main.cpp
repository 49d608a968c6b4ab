#include "ChineseDesktop.h"
#include "ErrorReportOpener.h"
#include "LoginBaseClass.h"
#include "MainObject.h"
#include "MessageHandler.h"
#include "Resources.h"
#include "SelectSubjectsDialog.h"
#include "SqliteClass.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initResources();
    ChineseDesktop::apply();
    QFont font(QStringLiteral("微软雅黑"), 10);
    font.setWeight(QFont::Normal);
    QApplication::setFont(font);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    qInstallMessageHandler(messageHandler);

    QTranslator translator;
    if (!translator.load(QStringLiteral(":/qm/images/qm/qt_zh_CN.qm")))
        qWarning("Qt's Chinese translation did not load");
    // Installed either way: an empty translator changes nothing.
    app.installTranslator(&translator);

    installErrorReportOpener();
    SelectSubjectsDialog::removeStagingFolders();
    SqliteClass::instance()->setLoginClient(new LoginBaseClass);

    MainObject mainObject;
    if (mainObject.start(0) == -1)
        return 0;
    return app.exec();
}
