#pragma once

#include <QString>

// The desktop calculator the exam window starts: "calc" on Windows,
// elsewhere the first known calculator on PATH. Empty when none is found.
namespace Calculator {
QString program();
// Tests put a program of their own in place; an empty text restores the search.
void setProgramOverride(const QString &program);
} // namespace Calculator
