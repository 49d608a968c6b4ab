#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Zip archives built by the tests, hostile ones included.
struct TestZipEntry {
    QString name;
    QByteArray data;
    bool symbolicLink = false; // data is the link's target
    // Not negative: the size the archive gives for the entry, whatever data
    // holds; its checksum is that of the data up to that size.
    qint64 declaredSize = -1;
};

// false with the reason when the archive could not be written.
bool writeTestZip(const QString &path, const QList<TestZipEntry> &entries, QString *error);
// The archive with one byte of the first entry's stored data changed, so
// only its checksum tells.
bool damageFirstEntry(const QString &path);

#include <QMetaType>
Q_DECLARE_METATYPE(TestZipEntry)
