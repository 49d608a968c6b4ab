#pragma once

#include <QString>
#include <QtGlobal>

// The process log: installed with qInstallMessageHandler at start, it appends
// every message of every thread as one line to logFileName in the working
// directory.
extern const char logFileName[];
// A larger file is deleted before the next line is written.
constexpr qint64 logSizeLimit = 4194304;

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
