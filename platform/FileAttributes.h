#pragma once

// The Windows file-attribute calls the start-up uses, on POSIX permission
// bits. Paths are in the local 8-bit encoding.
//
// Reading: a missing path gives INVALID_FILE_ATTRIBUTES; a directory has
// FILE_ATTRIBUTE_DIRECTORY; a path whose owner-write bit is clear has
// FILE_ATTRIBUTE_READONLY; a writable file has FILE_ATTRIBUTE_NORMAL alone.
// Writing: FILE_ATTRIBUTE_READONLY clears every write bit, anything else
// (FILE_ATTRIBUTE_NORMAL) sets the owner-write bit. The permission bits are
// read rather than asked of access(), which says yes to root for any file.

using DWORD = unsigned long;
using BOOL = int;

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = DWORD(-1);
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

DWORD GetFileAttributesA(const char *path);
// Non-zero on success; zero when the path is missing or cannot be changed.
BOOL SetFileAttributesA(const char *path, DWORD attributes);
