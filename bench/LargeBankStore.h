#pragma once

#include "BuiltinPassphrase.h"
#include "SqliteClass.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

// Opens the store on the benchmarks' large bank: the one in
// $VELMORA_LARGE_BANK when set, else one that banktool from the same build
// writes into scratch ("banktool large DIR" followed by plan). False, with
// the reason on stderr, when there is none.
inline bool openLargeBank(QTemporaryDir &scratch, const QStringList &plan = {})
{
    QString bankDir = qEnvironmentVariable("VELMORA_LARGE_BANK");
    if (bankDir.isEmpty()) {
        bankDir = scratch.path();
        const QString banktool = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bank/banktool");
        if (QProcess::execute(banktool, QStringList{QStringLiteral("large"), bankDir} + plan) != 0) {
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
