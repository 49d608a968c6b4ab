#pragma once

#include <QString>

// A subject package is a zip holding "MedicalDB.db" and "images.zip"; the
// latter holds the folder "images" with the question images.
// Packs subjectDir/MedicalDB.db and subjectDir/images/* into packagePath.
bool makeSubjectPackage(const QString &subjectDir, const QString &packagePath, QString *error);
