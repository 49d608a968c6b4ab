#include "SafeUnzip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>

#include <atomic>
#include <limits>
#include <unistd.h>

namespace {

const quint32 fileTypeMask = 0170000;
const quint32 symbolicLinkType = 0120000;

std::atomic<quint64> maximumSize{SafeUnzip::defaultMaximumSize};

struct Entry {
    QString name;
    quint64 size = 0;
};

// What has been written of all entries, for the progress.
struct Written {
    quint64 bytes = 0;
    quint64 total = 0;
    const SafeUnzip::Progress &progress;
    bool goOn() const { return !progress || progress(bytes, total); }
};

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

// Writes the current entry of zip to path; the bytes must be exactly the
// size the archive gives, and the checksum must match.
bool unpackEntry(QuaZip &zip, const Entry &entry, const QString &path, Written &all, QString *reason)
{
    QuaZipFile in(&zip);
    if (!in.open(QIODevice::ReadOnly))
        return fail(reason, QStringLiteral("cannot read entry %1 (%2)").arg(entry.name).arg(in.getZipError()));
    QFile out(path);
    // Unbuffered: a write that fails says so at once.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::NewOnly)) {
        in.close();
        return fail(reason, QStringLiteral("cannot create %1: %2").arg(path, out.errorString()));
    }
    quint64 written = 0;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = in.read(buffer, sizeof buffer);
        if (got < 0) {
            in.close();
            return fail(reason, QStringLiteral("cannot read entry %1 (%2)").arg(entry.name).arg(in.getZipError()));
        }
        if (got == 0)
            break;
        written += quint64(got);
        if (written > entry.size) {
            in.close();
            return fail(reason, QStringLiteral("entry %1 is larger than it says").arg(entry.name));
        }
        if (out.write(buffer, got) != got) {
            in.close();
            return fail(reason, QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
        }
        all.bytes += quint64(got);
        if (!all.goOn()) {
            in.close();
            return fail(reason, QStringLiteral("unpacking stopped"));
        }
    }
    in.close();
    if (in.getZipError() != UNZ_OK)
        return fail(reason, QStringLiteral("entry %1 is damaged (%2)").arg(entry.name).arg(in.getZipError()));
    if (written != entry.size)
        return fail(reason, QStringLiteral("entry %1 is shorter than it says").arg(entry.name));
    if (!out.flush() || ::fsync(out.handle()) != 0)
        return fail(reason, QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(reason, QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    return true;
}

bool readEntries(QuaZip &zip, QList<Entry> &entries, QString *reason)
{
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return fail(reason, QStringLiteral("cannot read the archive's entries (%1)").arg(zip.getZipError()));
        const QString why = SafeUnzip::refusal(info.name);
        if (!why.isEmpty())
            return fail(reason, why);
        if ((info.externalAttr >> 16 & fileTypeMask) == symbolicLinkType)
            return fail(reason, QStringLiteral("entry %1 is a symbolic link").arg(info.name));
        entries << Entry{info.name, info.uncompressedSize};
    }
    if (zip.getZipError() != UNZ_OK)
        return fail(reason, QStringLiteral("cannot read the archive's entries (%1)").arg(zip.getZipError()));
    return true;
}

// Refuses what would not fit: over the maximum size, or over the free space
// of the target's disk less the margin.
bool fits(const QList<Entry> &entries, const QString &folder, quint64 &total, QString *reason)
{
    const quint64 most = std::numeric_limits<quint64>::max();
    total = 0;
    for (const Entry &entry : entries)
        total = entry.size > most - total ? most : total + entry.size;
    if (total > SafeUnzip::maximumSize())
        return fail(reason, QStringLiteral("解压后共%1字节,超过上限%2字节").arg(total).arg(SafeUnzip::maximumSize()));
    const QStorageInfo disk(QFileInfo(folder).absolutePath());
    const quint64 free = disk.isValid() ? quint64(qMax<qint64>(disk.bytesAvailable(), 0)) : most;
    if (total > free || free - total < SafeUnzip::freeSpaceMargin)
        return fail(reason, QStringLiteral("解压后共%1字节,磁盘可用空间只有%2字节").arg(total).arg(free));
    return true;
}

bool unpackAll(QuaZip &zip, const QList<Entry> &entries, const QDir &target, Written &all, QString *reason)
{
    int index = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile(), ++index) {
        const Entry &entry = entries.at(index);
        if (entry.name.endsWith(QLatin1Char('/'))) {
            if (!target.mkpath(entry.name))
                return fail(reason, QStringLiteral("cannot create folder %1").arg(entry.name));
            continue;
        }
        const QString path = target.filePath(entry.name);
        if (!QDir().mkpath(QFileInfo(path).path()))
            return fail(reason, QStringLiteral("cannot create the folder of %1").arg(entry.name));
        if (!unpackEntry(zip, entry, path, all, reason))
            return false;
    }
    if (index != entries.size() || zip.getZipError() != UNZ_OK)
        return fail(reason, QStringLiteral("the archive changed while it was unpacked"));
    return true;
}

} // namespace

QString SafeUnzip::refusal(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("an entry has no name");
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("entry %1 holds a backslash").arg(name);
    if (name.startsWith(QLatin1Char('/')))
        return QStringLiteral("entry %1 is an absolute path").arg(name);
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(name).hasMatch())
        return QStringLiteral("entry %1 names a drive").arg(name);
    for (const QString &part : name.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            return QStringLiteral("entry %1 leaves its folder").arg(name);
    }
    if (name.contains(QChar(0)))
        return QStringLiteral("entry %1 holds a NUL").arg(name);
    return QString();
}

void SafeUnzip::setMaximumSize(quint64 bytes)
{
    ::maximumSize = bytes;
}

quint64 SafeUnzip::maximumSize()
{
    return ::maximumSize;
}

int SafeUnzip::extract(const QString &archive, const QString &freshFolder, QString *reason,
                       const Progress &progress)
{
    if (QFileInfo::exists(freshFolder) || QFileInfo(freshFolder).isSymLink()) {
        fail(reason, QStringLiteral("%1 exists already").arg(freshFolder));
        return -1;
    }
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip)) {
        fail(reason, QStringLiteral("%1 is no zip archive (%2)").arg(archive).arg(zip.getZipError()));
        return -1;
    }
    QList<Entry> entries;
    Written all{0, 0, progress};
    if (!readEntries(zip, entries, reason))
        return -1;
    if (!fits(entries, freshFolder, all.total, reason))
        return tooLarge;
    bool ok = true;
    // Its parent must be there: only what is made here is removed again.
    if (!QDir().mkdir(freshFolder))
        ok = fail(reason, QStringLiteral("cannot create %1").arg(freshFolder));
    if (ok)
        ok = unpackAll(zip, entries, QDir(freshFolder), all, reason);
    zip.close();
    if (ok)
        return 0;
    if (QFileInfo(freshFolder).isDir() && !QFileInfo(freshFolder).isSymLink())
        QDir(freshFolder).removeRecursively();
    return -1;
}
