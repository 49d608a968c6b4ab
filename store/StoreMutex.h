#pragma once

#include <QAtomicInt>
#include <QMutex>
#include <QRecursiveMutex>
#include <QWaitCondition>

class QThread;

// The store's lock: recursive, and fair to the GUI thread (the thread that
// created it). A plain mutex stays with a worker that releases it and takes
// it again for its next statement; here a worker about to take it while the
// GUI thread waits lets the GUI thread go first, so a call on the GUI thread
// waits for one worker statement at most. A thread that already holds the
// lock never stands back (it could not let anyone in).
class StoreMutex
{
public:
    StoreMutex();
    StoreMutex(const StoreMutex &) = delete;
    StoreMutex &operator=(const StoreMutex &) = delete;

    void lock();
    void unlock();

private:
    void letGuiThreadPass();

    QRecursiveMutex mutex;
    QThread *const guiThread;
    QAtomicInt guiWaiting;
    // Guards the GUI thread's passes; gate wakes the workers standing back.
    QMutex gateMutex;
    QWaitCondition gate;
    quint64 guiPasses = 0;
};
