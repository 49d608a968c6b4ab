#pragma once

#include <QString>

#include <functional>

// Unpacks a zip archive that comes from the network. Every entry name is
// read before anything is written, and the whole archive is refused when
// one could leave the target: "..", an absolute path, a backslash, a drive
// letter, an empty name or a symbolic link. It unpacks only into a folder
// that it creates itself, checks every write, the size and the checksum of
// every entry, and removes that folder again when anything fails. The sizes
// the entries declare are summed first: more than the maximum size, or more
// than the target's disk has free (less a margin), is refused before anything
// is written, and no entry is written beyond its declared size.
//
//   QString reason;
//   if (SafeUnzip::extract(package, staging + "/package", &reason) != 0)
//       qWarning() << reason;
class SafeUnzip
{
public:
    // extract's result for an archive refused for its size.
    static constexpr int tooLarge = -2;
    static constexpr quint64 defaultMaximumSize = quint64(2) << 30;
    // Left free on the target's disk.
    static constexpr quint64 freeSpaceMargin = quint64(64) << 20;
    // Bytes written so far and the declared total; false stops the unpacking.
    // Called on the unpacking thread.
    using Progress = std::function<bool(quint64 written, quint64 total)>;

    // freshFolder must not exist; its parent must. 0, tooLarge or -1 with the
    // reason (folder left absent).
    static int extract(const QString &archive, const QString &freshFolder, QString *reason,
                       const Progress &progress = Progress());
    // Why the entry name cannot be unpacked; empty when it can.
    static QString refusal(const QString &name);
    // For every unpacking of the process.
    static void setMaximumSize(quint64 bytes);
    static quint64 maximumSize();
};
