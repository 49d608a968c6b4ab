#include "PackageUnpacker.h"

#include "SafeUnzip.h"

#include <QFileInfo>

PackageUnpacker::PackageUnpacker(const QString &package, const QString &folder, QObject *parent)
    : QThread(parent), package(package), folder(folder)
{
}

PackageUnpacker::~PackageUnpacker()
{
    stopping = 1;
    wait();
}

QString PackageUnpacker::packageFolder() const
{
    return folder + QStringLiteral("/package");
}

void PackageUnpacker::run()
{
    outcome = unpack(package, packageFolder(), 0, 50, QStringLiteral("科目包"));
    const QString imagesZip = packageFolder() + QStringLiteral("/images.zip");
    if (outcome != 0 || !QFileInfo::exists(imagesZip))
        return;
    const QString unpacked = folder + QStringLiteral("/images");
    outcome = unpack(imagesZip, unpacked, 50, 100, QStringLiteral("图片包"));
    // Only the images folder: nothing else of the image archive may land
    // beside the bank.
    if (outcome == 0 && QFileInfo(unpacked + QStringLiteral("/images")).isDir())
        images = unpacked + QStringLiteral("/images");
}

int PackageUnpacker::unpack(const QString &archive, const QString &target, int from, int to, const QString &what)
{
    int shown = -1;
    const auto report = [&](quint64 written, quint64 total) {
        const int percent = from + int(total == 0 ? 0 : (to - from) * written / total);
        if (percent != shown)
            emit progress(shown = percent);
        return stopping.loadRelaxed() == 0;
    };
    QString reason;
    const int result = SafeUnzip::extract(archive, target, &reason, report);
    if (result != 0)
        why = QStringLiteral("%1无法解压: %2").arg(what, reason);
    else
        emit progress(to);
    return result;
}
