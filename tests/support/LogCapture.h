#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects every Qt message while it lives (from any thread), then puts the
// previous handler back. One at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    bool contains(const QString &text) const;
    void clear();

private:
    QtMessageHandler previous;
};
