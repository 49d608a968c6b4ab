#pragma once

#include <QString>

// The file-system calls that write bank files and put them in place. Each
// call passes before() first, the one point where a test can watch the
// sequence, fail a call with an error, or end the process at a step; the
// program itself runs the plain calls.
class BankFileSteps
{
public:
    enum class Kind {
        Write,      // a piece of a new file's content
        SyncFile,   // fsync of a new file
        Link,       // a hard link: path, to
        Rename,     // rename(2): path over to
        Remove,     // unlink
        SyncFolder, // fsync of a folder
    };

    virtual ~BankFileSteps() = default;

    // The steps in use: the plain calls unless a test set its own.
    static BankFileSteps *current();
    // Null puts the plain calls back. The caller keeps ownership.
    static void setCurrent(BankFileSteps *steps);

    // 0 lets the call run; an errno value fails it with that error, unrun.
    virtual int before(Kind kind, const QString &path, const QString &to);

    // The calls themselves: 0, or the errno value of the failure.
    static int write(int fd, const QString &path, const char *data, qint64 size);
    static int syncFile(int fd, const QString &path);
    static int link(const QString &path, const QString &to);
    static int rename(const QString &path, const QString &to);
    static int remove(const QString &path);
    static int syncFolder(const QString &folder);
};
