#include "BankFileSteps.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

BankFileSteps plainSteps;
std::atomic<BankFileSteps *> steps{nullptr};

int check(BankFileSteps::Kind kind, const QString &path, const QString &to = QString())
{
    return BankFileSteps::current()->before(kind, path, to);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

BankFileSteps *BankFileSteps::current()
{
    BankFileSteps *set = steps.load();
    return set ? set : &plainSteps;
}

void BankFileSteps::setCurrent(BankFileSteps *set)
{
    steps.store(set);
}

int BankFileSteps::before(Kind, const QString &, const QString &)
{
    return 0;
}

int BankFileSteps::write(int fd, const QString &path, const char *data, qint64 size)
{
    if (const int error = check(Kind::Write, path))
        return error;
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        // No room for a single byte is a full disk.
        if (written == 0)
            return ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}

int BankFileSteps::syncFile(int fd, const QString &path)
{
    if (const int error = check(Kind::SyncFile, path))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

int BankFileSteps::link(const QString &path, const QString &to)
{
    if (const int error = check(Kind::Link, path, to))
        return error;
    return ::link(native(path).constData(), native(to).constData()) == 0 ? 0 : errno;
}

int BankFileSteps::rename(const QString &path, const QString &to)
{
    if (const int error = check(Kind::Rename, path, to))
        return error;
    return ::rename(native(path).constData(), native(to).constData()) == 0 ? 0 : errno;
}

int BankFileSteps::remove(const QString &path)
{
    if (const int error = check(Kind::Remove, path))
        return error;
    return ::unlink(native(path).constData()) == 0 || errno == ENOENT ? 0 : errno;
}

int BankFileSteps::syncFolder(const QString &folder)
{
    if (const int error = check(Kind::SyncFolder, folder))
        return error;
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}
