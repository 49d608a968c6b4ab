#pragma once

#include <QAtomicInt>
#include <QString>
#include <QThread>

// Unpacks a subject package on a thread of its own, so that a large one does
// not freeze the window: the package into folder + "/package", then the
// "images.zip" it holds, if any, into folder + "/images".
//
//   auto *unpacker = new PackageUnpacker(zip, staging, this);
//   connect(unpacker, &PackageUnpacker::progress, bar, &QProgressBar::setValue);
//   connect(unpacker, &QThread::finished, this, &Dialog::unpacked);
//   unpacker->start();
class PackageUnpacker : public QThread
{
    Q_OBJECT
public:
    PackageUnpacker(const QString &package, const QString &folder, QObject *parent = nullptr);
    // Stops an unpacking under way and waits for its end.
    ~PackageUnpacker() override;

    // After finished: 0, SafeUnzip::tooLarge or -1, with the reason.
    int result() const { return outcome; }
    QString reason() const { return why; }
    QString packageFolder() const;
    // The "images" folder of the image archive; empty when there is none.
    QString imagesFolder() const { return images; }

signals:
    // 0 to 100 over both archives.
    void progress(int percent);

protected:
    void run() override;

private:
    int unpack(const QString &archive, const QString &target, int from, int to, const QString &what);

    const QString package;
    const QString folder;
    QAtomicInt stopping;
    int outcome = -1;
    QString why;
    QString images;
};
