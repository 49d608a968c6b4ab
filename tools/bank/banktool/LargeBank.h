#pragma once

#include <QString>

// A synthetic bank for benchmarks: a three-level chapter tree, every question
// type, realistic text lengths, part of the questions answered, a syllabus,
// past exam records and twelve prediction papers of 120 questions.
struct LargeBankPlan
{
    int questions = 20000;
    int answered = 3000;
    quint32 seed = 20151001;
};

// Writes dir/MedicalDB.db (keyed with the built-in phrase) and an empty dir/images.
bool writeLargeBank(const QString &dir, const LargeBankPlan &plan, QString *error);
