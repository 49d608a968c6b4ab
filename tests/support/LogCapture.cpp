#include "LogCapture.h"

#include <QMutex>

namespace {
QMutex mutex;
QStringList captured;
bool active = false;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker lock(&mutex);
    captured.append(message);
}
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&mutex);
    if (active)
        qFatal("LogCapture: only one may be active");
    active = true;
    captured.clear();
    previous = qInstallMessageHandler(collect);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous);
    QMutexLocker lock(&mutex);
    active = false;
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&mutex);
    return captured;
}

bool LogCapture::contains(const QString &text) const
{
    const QStringList all = lines();
    for (const QString &line : all)
        if (line.contains(text))
            return true;
    return false;
}

void LogCapture::clear()
{
    QMutexLocker lock(&mutex);
    captured.clear();
}
