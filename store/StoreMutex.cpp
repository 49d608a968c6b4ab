#include "StoreMutex.h"

#include <QMutexLocker>
#include <QThread>

namespace {

// How deep the calling thread holds the lock (the store has one).
thread_local int heldDepth = 0;

} // namespace

StoreMutex::StoreMutex()
    : guiThread(QThread::currentThread())
{
}

void StoreMutex::lock()
{
    if (heldDepth == 0) {
        if (QThread::currentThread() == guiThread) {
            guiWaiting.storeRelaxed(1);
            mutex.lock();
            {
                const QMutexLocker gateLocker(&gateMutex);
                guiWaiting.storeRelaxed(0);
                ++guiPasses;
            }
            gate.wakeAll();
            ++heldDepth;
            return;
        }
        letGuiThreadPass();
    }
    mutex.lock();
    ++heldDepth;
}

void StoreMutex::unlock()
{
    --heldDepth;
    mutex.unlock();
}

// Waits until the GUI thread, when it waits, has had the lock once; a GUI
// thread that keeps calling cannot hold a worker back for longer.
void StoreMutex::letGuiThreadPass()
{
    const QMutexLocker gateLocker(&gateMutex);
    const quint64 seen = guiPasses;
    while (guiWaiting.loadRelaxed() != 0 && guiPasses == seen)
        gate.wait(&gateMutex);
}
