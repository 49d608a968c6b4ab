#include "MessageHandler.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTextStream>

const char logFileName[] = "velmorastarlogs.txt";

namespace {

QMutex logMutex;

QString typeText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug:");
    case QtWarningMsg:
        return QStringLiteral("Warning:");
    case QtCriticalMsg:
        return QStringLiteral("Critical:");
    case QtFatalMsg:
        return QStringLiteral("Fatal:");
    default:
        return QString();
    }
}

// Every skin style sheet writes its colour as rgb(r,g,b,a); Qt 5.15 paints it
// right but warns at each parse, which would bury the log under one line per
// styled widget on every page visit.
bool isSkinColourNoise(QtMsgType type, const QString &message)
{
    return type == QtWarningMsg
        && message.startsWith(QLatin1String(
               "QCssParser::parseColorValue: Specified color without alpha value but alpha given: 'rgb "));
}

} // namespace

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (isSkinColourNoise(type, message))
        return;
    QMutexLocker lock(&logMutex);
    const QString place = QStringLiteral("File:(%1) Line:(%2)")
                              .arg(QString::fromLocal8Bit(context.file), QString::number(context.line));
    const QString time = QStringLiteral("(%1)").arg(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ddd")));
    const QString line = QStringLiteral("%1 %2 %3 %4").arg(typeText(type), place, message, time);

    const QString fileName = QString::fromLatin1(logFileName);
    QFileInfo info(fileName);
    if (info.exists() && info.size() > logSizeLimit)
        QFile::remove(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QTextStream out(&file);
    out << line << "\r\n";
    out.flush();
}
