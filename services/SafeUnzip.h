#pragma once

#include <QString>

// Unpacks a zip archive that comes from the network. Every entry name is
// read before anything is written, and the whole archive is refused when
// one could leave the target: "..", an absolute path, a backslash, a drive
// letter, an empty name or a symbolic link. It unpacks only into a folder
// that it creates itself, checks every write, the size and the checksum of
// every entry, and removes that folder again when anything fails.
//
//   QString reason;
//   if (SafeUnzip::extract(package, staging + "/package", &reason) != 0)
//       qWarning() << reason;
class SafeUnzip
{
public:
    // freshFolder must not exist; its parent must. 0, or -1 with the reason
    // (folder left absent).
    static int extract(const QString &archive, const QString &freshFolder, QString *reason);
    // Why the entry name cannot be unpacked; empty when it can.
    static QString refusal(const QString &name);
};
