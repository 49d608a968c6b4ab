// The directory operations of DownLoadQThread.
#include "DownLoadQThread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// By the permission bits, not by access(): run as root, access() allows all.
bool readableAndWritable(const QFileInfo &entry)
{
    return entry.permission(QFile::ReadOwner | QFile::WriteOwner);
}

// A link counts as present even when it points nowhere.
bool occupied(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

int DownLoadQThread::copyDirectoryFiles(const QString &from, const QString &to, bool overwrite)
{
    // A link in the target is replaced only with overwrite, never followed.
    const bool linked = QFileInfo(to).isSymLink();
    if ((linked && !(overwrite && QFile::remove(to)))
        || (!QDir(to).exists() && !QDir().mkdir(QDir(to).absolutePath()))) {
        errorText = QStringLiteral("[error]:创建%1失败").arg(QDir(to).absolutePath());
        return -1;
    }

    const QFileInfoList entries = QDir(from).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
        QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir()) {
            if (copyDirectoryFiles(entry.filePath(), target, overwrite) != 0) {
                errorText = QStringLiteral("[error]:copyDirectoryFiles:拷贝【%1】\n to【%2】失败.")
                                .arg(entry.filePath(), target);
                return -1;
            }
            continue;
        }
        const bool present = occupied(target);
        if (overwrite && present && !QFile::remove(target)) {
            errorText = QStringLiteral("[error]:当允许覆盖操作时，将旧文件进行删除[%1]操作失败.")
                            .arg(entry.fileName());
            return -1;
        }
        // QFile::copy refuses an existing file but not a link that points nowhere.
        if ((present && !overwrite) || !QFile::copy(entry.filePath(), target)) {
            errorText = QStringLiteral("[error]:拷贝【%1】\n to【%2】失败.").arg(entry.filePath(), target);
            return -1;
        }
    }
    return 0;
}

int DownLoadQThread::removeDirWithContent(const QString &directory)
{
    const QFileInfo top(directory);
    if (top.isSymLink())
        return QFile::remove(directory) ? 0 : -1;
    if (!top.isDir())
        return 0;

    // Files go while the tree is walked; directories deepest first at the end.
    QStringList directories{directory};
    for (int i = 0; i < directories.size(); ++i) {
        const QFileInfoList entries = QDir(directories.at(i)).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            const bool link = entry.isSymLink();
            if (!link && !readableAndWritable(entry))
                continue;
            if (!link && entry.isDir())
                directories.append(entry.filePath());
            else if (!QFile::remove(entry.filePath()))
                return -1;
        }
    }
    for (int i = directories.size() - 1; i >= 0; --i) {
        if (!QDir().rmdir(directories.at(i)))
            return -1;
    }
    return 0;
}
