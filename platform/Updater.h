#pragma once

#include <QString>

// The external updater "UpdateVelmora.exe" of a directory, started detached
// so that it outlives the program (a QProcess object would kill its child on
// destruction). The path is absolute: QProcess searches PATH for a bare name
// on Linux. It gets one empty argument.
namespace Updater {

inline constexpr char fileName[] = "UpdateVelmora.exe";

// true when the updater runs; false when it is missing or cannot be executed.
bool startDetached(const QString &directory);

} // namespace Updater
