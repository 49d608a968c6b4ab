#include "ImageFolderSwap.h"

#include "DownLoadQThread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The tree of from again under to, files as hard links (copies where the file
// system has none), links as links.
bool linkTree(const QString &from, const QString &to, QString *reason)
{
    if (!QDir().mkdir(to)) {
        *reason = QStringLiteral("创建[%1]失败").arg(to);
        return false;
    }
    const QFileInfoList entries = QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                           | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        const QByteArray source = QFile::encodeName(entry.filePath());
        bool ok;
        if (entry.isSymLink()) {
            char link[4096];
            const ssize_t length = ::readlink(source.constData(), link, sizeof link - 1);
            ok = length >= 0
                && ::symlink(QByteArray(link, int(length)).constData(), QFile::encodeName(target).constData()) == 0;
        } else if (entry.isDir()) {
            if (!linkTree(entry.filePath(), target, reason))
                return false;
            continue;
        } else {
            ok = ::link(source.constData(), QFile::encodeName(target).constData()) == 0
                || QFile::copy(entry.filePath(), target);
        }
        if (!ok) {
            *reason = QStringLiteral("复制[%1]到[%2]失败:%3").arg(entry.filePath(), target, systemError());
            return false;
        }
    }
    return true;
}

bool move(const QString &from, const QString &to, QString *reason)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *reason = QStringLiteral("移动[%1]到[%2]失败:%3").arg(from, to, systemError());
    return false;
}

bool removeTree(const QString &path)
{
    return DownLoadQThread().removeDirWithContent(path) == 0;
}

} // namespace

ImageFolderSwap::ImageFolderSwap(const QString &subjectDir)
    : live(subjectDir + QStringLiteral("/images"))
    , staged(subjectDir + QStringLiteral("/images.new"))
    , aside(subjectDir + QStringLiteral("/images.old"))
{
}

ImageFolderSwap::~ImageFolderSwap()
{
    if (pending)
        removeTree(staged);
}

bool ImageFolderSwap::stage(const QString &newImages, QString *reason)
{
    if (newImages.isEmpty())
        return true;
    // A swap cut off between its two moves: the old images back first.
    if (!QFileInfo::exists(live) && !QFileInfo(live).isSymLink() && QFileInfo(aside).isDir()
        && !move(aside, live, reason))
        return false;
    const QFileInfo current(live);
    if ((current.exists() || current.isSymLink()) && (!current.isDir() || current.isSymLink())) {
        *reason = QStringLiteral("[%1]不是图片文件夹").arg(live);
        return false;
    }
    // Left by a run that was cut off.
    if (!removeTree(staged) || !removeTree(aside)) {
        *reason = QStringLiteral("删除[%1]失败").arg(staged);
        return false;
    }
    pending = true;
    const bool built = current.exists() ? linkTree(live, staged, reason) : QDir().mkdir(staged);
    if (!built) {
        if (reason->isEmpty())
            *reason = QStringLiteral("创建[%1]失败").arg(staged);
        return false;
    }
    DownLoadQThread copier;
    if (copier.copyDirectoryFiles(newImages, staged, true) != 0) {
        *reason = copier.errorString();
        return false;
    }
    return true;
}

bool ImageFolderSwap::commit(QString *reason)
{
    if (!pending)
        return true;
    const bool hadLive = QFileInfo::exists(live);
    if (hadLive && !move(live, aside, reason))
        return false;
    if (!move(staged, live, reason)) {
        QString ignored;
        if (hadLive)
            move(aside, live, &ignored);
        return false;
    }
    pending = false;
    if (hadLive)
        removeTree(aside);
    return true;
}
