#pragma once

#include <QSettings>

// Config.ini in the working directory. Every access goes through this class
// so that all of them use one Chinese codec: the installation puts GB2312
// texts into the file, and one access without that codec would re-encode
// the raw bytes it has not parsed yet and garble them for good. The codec is
// GB18030, which reads GB2312 bytes as they are and, unlike GB2312, can
// write every text without turning characters into "?". Values written
// earlier as escape sequences still read back.
//
// Make one, read or write a few keys and let it go: the file is written when
// the object is destroyed, so the next access sees the change.
class ConfigIni : public QSettings
{
public:
    ConfigIni();
    ~ConfigIni() override = default;

    // The key's value as text, empty when absent. An unquoted value with
    // commas (a hand-edited "80,153,2,255") reads as written, not as empty.
    QString text(const QString &key) const;

    // One key in its own short-lived access.
    static QString readText(const QString &key);
    static void write(const QString &key, const QVariant &value);
};
