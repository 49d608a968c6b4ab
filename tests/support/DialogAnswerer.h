#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <functional>

class QWidget;

// Waits (polling the event loop) for a window that was not on screen when it
// was made, preferring the application's modal widget, and runs an action on
// it. Lets a test drive a box that is shown with exec() or show().
class DialogAnswerer : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget *dialog)>;

    explicit DialogAnswerer(Action action, int timeoutMs = 5000);

    bool answered() const { return done; }
    QString dialogClass() const { return seenClass; }
    // Waits, running the event loop, until the action ran or the time is up.
    bool wait(int timeoutMs = 5000);

    // Clicks the first visible button of the dialog whose text or object name
    // (mnemonic marks ignored) equals `which`; false when there is none.
    static bool clickButton(QWidget *dialog, const QString &which);
    // A window that appeared since `before` was taken, modal one first.
    static QWidget *newWindow(const QSet<QWidget *> &before);
    static QSet<QWidget *> visibleWindows();

private:
    void poll();

    Action action;
    QSet<QWidget *> before;
    QTimer timer;
    int remainingPolls;
    bool done = false;
    QString seenClass;
};
