#include "DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

namespace {
constexpr int pollMs = 10;
}

DialogAnswerer::DialogAnswerer(Action action, int timeoutMs)
    : action(std::move(action)), before(visibleWindows()), remainingPolls(timeoutMs / pollMs)
{
    connect(&timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    timer.start(pollMs);
}

QSet<QWidget *> DialogAnswerer::visibleWindows()
{
    QSet<QWidget *> windows;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *w : all)
        if (w->isVisible())
            windows.insert(w);
    return windows;
}

QWidget *DialogAnswerer::newWindow(const QSet<QWidget *> &before)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && !before.contains(modal))
        return modal;
    const QSet<QWidget *> now = visibleWindows();
    for (QWidget *w : now)
        if (!before.contains(w))
            return w;
    return nullptr;
}

void DialogAnswerer::poll()
{
    if (done)
        return;
    if (--remainingPolls < 0) {
        timer.stop();
        return;
    }
    QWidget *dialog = newWindow(before);
    if (!dialog)
        return;
    timer.stop();
    done = true;
    seenClass = QString::fromLatin1(dialog->metaObject()->className());
    action(dialog);
}

bool DialogAnswerer::wait(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < timeoutMs)
        QTest::qWait(pollMs);
    return done;
}

bool DialogAnswerer::clickButton(QWidget *dialog, const QString &which)
{
    const auto buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        QString text = b->text();
        text.remove(QLatin1Char('&'));   // mnemonics
        if (b->isVisible() && (text == which || b->objectName() == which)) {
            b->click();
            return true;
        }
    }
    return false;
}
