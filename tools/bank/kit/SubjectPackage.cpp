#include "SubjectPackage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

namespace {

bool addEntry(QuaZip &zip, const QString &name, const QByteArray &data, QString *error)
{
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::WriteOnly, QuaZipNewInfo(name))) {
        *error = QStringLiteral("cannot add %1 to the archive (%2)").arg(name).arg(entry.getZipError());
        return false;
    }
    const bool written = entry.write(data) == data.size();
    entry.close();
    if (!written || entry.getZipError() != UNZ_OK) {
        *error = QStringLiteral("cannot write %1 into the archive").arg(name);
        return false;
    }
    return true;
}

bool addFile(QuaZip &zip, const QString &name, const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return addEntry(zip, name, file.readAll(), error);
}

bool openZip(QuaZip &zip, const QString &what, QString *error)
{
    if (zip.open(QuaZip::mdCreate))
        return true;
    *error = QStringLiteral("cannot create %1 (%2)").arg(what).arg(zip.getZipError());
    return false;
}

bool closeZip(QuaZip &zip, const QString &what, QString *error)
{
    zip.close();
    if (zip.getZipError() == UNZ_OK)
        return true;
    *error = QStringLiteral("cannot finish %1 (%2)").arg(what).arg(zip.getZipError());
    return false;
}

bool zipImages(const QString &imagesDir, QByteArray *archive, QString *error)
{
    QBuffer buffer(archive);
    QuaZip zip(&buffer);
    if (!openZip(zip, QStringLiteral("images.zip"), error)
        || !addEntry(zip, QStringLiteral("images/"), QByteArray(), error))
        return false;
    const QFileInfoList files = QDir(imagesDir).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!addFile(zip, QStringLiteral("images/") + file.fileName(), file.filePath(), error))
            return false;
    }
    return closeZip(zip, QStringLiteral("images.zip"), error);
}

} // namespace

bool makeSubjectPackage(const QString &subjectDir, const QString &packagePath, QString *error)
{
    const QDir dir(subjectDir);
    QByteArray images;
    if (!zipImages(dir.filePath(QStringLiteral("images")), &images, error))
        return false;
    QFile::remove(packagePath);
    QuaZip zip(packagePath);
    return openZip(zip, packagePath, error)
        && addFile(zip, QStringLiteral("MedicalDB.db"), dir.filePath(QStringLiteral("MedicalDB.db")), error)
        && addEntry(zip, QStringLiteral("images.zip"), images, error)
        && closeZip(zip, packagePath, error);
}
