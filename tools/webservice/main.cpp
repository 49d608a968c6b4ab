// webservice [--port N] PACKAGE.zip[,DIR1,DIR2]...
// Serves the subject packages and the other requests of the program on
// 127.0.0.1; prints its address first, then one line per request on stderr.
// DIR1 and DIR2 are the keys a data repair asks for that package with: the
// bank's sysTypeGoods, and its sysTypeISN without the first and last character.
#include "LocalWebService.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = app.arguments().mid(1);
    quint16 port = 0;
    if (arguments.value(0) == QLatin1String("--port")) {
        bool ok = false;
        port = arguments.value(1).toUShort(&ok);
        if (!ok) {
            err << "usage: webservice [--port N] PACKAGE.zip[,DIR1,DIR2]...\n";
            return 2;
        }
        arguments = arguments.mid(2);
    }

    LocalWebService service;
    for (const QString &argument : qAsConst(arguments)) {
        const QStringList parts = argument.split(QLatin1Char(','));
        const QFileInfo zip(parts.first());
        if (!zip.isFile() || (parts.size() != 1 && parts.size() != 3)) {
            err << "no package " << argument << '\n';
            return 2;
        }
        service.addPackage(zip.completeBaseName(), zip.absoluteFilePath(),
                           QStringLiteral("演示科目（%1）").arg(zip.completeBaseName()), parts.value(1),
                           parts.value(2));
    }
    if (!service.listen(port)) {
        err << "cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    QObject::connect(&service, &LocalWebService::requestReceived, [&err](const QString &path) {
        err << path << Qt::endl;
    });
    out << service.baseUrl() << Qt::endl;
    return app.exec();
}
