#pragma once

#include <QString>

// Puts a package's images into a subject only together with its bank. The
// images folder as it will be is built beside the live one first (the live
// files hard-linked, the package's files over them); it is swapped in only
// after the bank is in place, and a failure puts the old folder back.
//
//   ImageFolderSwap images(subjectDir);
//   if (!images.stage(packageImages, &reason)) ... nothing changed
//   if (store->replaceBankFile(...) != 0) ... return: the stage goes with images
//   if (!images.commit(&reason)) ... the old images are in place
class ImageFolderSwap
{
public:
    explicit ImageFolderSwap(const QString &subjectDir);
    // Removes a stage that was not committed.
    ~ImageFolderSwap();
    ImageFolderSwap(const ImageFolderSwap &) = delete;
    ImageFolderSwap &operator=(const ImageFolderSwap &) = delete;

    // newImages empty: nothing to put in, commit does nothing.
    bool stage(const QString &newImages, QString *reason);
    bool commit(QString *reason);

private:
    const QString live;
    const QString staged;
    const QString aside;
    bool pending = false;
};
