#include "TestZip.h"

#include <QFile>

#include <quacrc32.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

bool writeTestZip(const QString &path, const QList<TestZipEntry> &entries, QString *error)
{
    QFile::remove(path);
    QuaZip zip(path);
    // Sizes of 4 GiB and more.
    zip.setZip64Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) {
        *error = QStringLiteral("cannot create %1").arg(path);
        return false;
    }
    for (const TestZipEntry &entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = (entry.symbolicLink ? 0120777u : 0100644u) << 16;
        QuaZipFile file(&zip);
        const bool raw = entry.declaredSize >= 0;
        quint32 crc = 0;
        if (raw) {
            info.uncompressedSize = quint64(entry.declaredSize);
            crc = QuaCrc32().calculate(entry.data.left(int(qMin<qint64>(entry.declaredSize, entry.data.size()))));
        }
        // Stored, so the data stands in the archive as it is.
        if (!file.open(QIODevice::WriteOnly, info, nullptr, crc, 0, 0, raw)) {
            *error = QStringLiteral("cannot add %1 (%2)").arg(entry.name).arg(file.getZipError());
            return false;
        }
        const bool written = file.write(entry.data) == entry.data.size();
        file.close();
        if (!written || file.getZipError() != UNZ_OK) {
            *error = QStringLiteral("cannot write %1").arg(entry.name);
            return false;
        }
    }
    zip.close();
    if (zip.getZipError() != UNZ_OK) {
        *error = QStringLiteral("cannot finish %1").arg(path);
        return false;
    }
    return true;
}

bool damageFirstEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    // Local header: 30 bytes, then the name and the extra field.
    const int nameLength = quint8(bytes.at(26)) | quint8(bytes.at(27)) << 8;
    const int extraLength = quint8(bytes.at(28)) | quint8(bytes.at(29)) << 8;
    const int at = 30 + nameLength + extraLength;
    if (at >= bytes.size())
        return false;
    bytes[at] = char(bytes.at(at) ^ 0x55);
    return file.seek(0) && file.write(bytes) == bytes.size();
}
