#pragma once

#include <QString>
#include <functional>

class QWidget;

// Opens the question error-report form. The form lives in a library that
// this one may not use, so the program installs the opener at start-up;
// until then a report only leaves a line in the debug log.
class ErrorReport
{
public:
    // Opens the form for (skin colour, report kind, queId, question text as
    // stored) and returns it, or null; the form deletes itself when closed.
    using Opener = std::function<QWidget *(const QString &skinColor, int reportKind, int queId,
                                           const QString &queText)>;

    // Replaces the opener; an empty one removes it.
    static void setOpener(Opener opener);
    static bool hasOpener();
    // The form opened, or null when none was (no opener installed).
    static QWidget *open(const QString &skinColor, int reportKind, int queId, const QString &queText);

    ErrorReport() = delete;
};
