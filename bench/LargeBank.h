#pragma once

#include "BuiltinPassphrase.h"
#include "SqliteClass.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

// Opens the 20,000-question bank in the store for a benchmark: the one in
// $VELMORA_LARGE_BANK when set, else one that banktool from the same build
// writes into scratch (which must outlive the run). False, with the reason
// printed, when there is none to open.
inline bool openLargeBank(const QTemporaryDir &scratch)
{
    QString bankDir = qEnvironmentVariable("VELMORA_LARGE_BANK");
    if (bankDir.isEmpty()) {
        bankDir = scratch.path();
        const QString banktool = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bank/banktool");
        if (QProcess::execute(banktool, {QStringLiteral("large"), bankDir}) != 0) {
            std::fprintf(stderr, "cannot write the large bank; set VELMORA_LARGE_BANK\n");
            return false;
        }
    }
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    if (store->openDatabase(bankDir, phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "%s\n", qPrintable(store->lastErrorText()));
        return false;
    }
    return true;
}
