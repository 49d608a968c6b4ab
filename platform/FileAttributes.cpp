#include "FileAttributes.h"

#include <sys/stat.h>

DWORD GetFileAttributesA(const char *path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(info.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesA(const char *path, DWORD attributes)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return 0;
    const mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (info.st_mode & ~writeBits)
                                                               : (info.st_mode | S_IWUSR);
    return chmod(path, mode & 07777) == 0;
}
