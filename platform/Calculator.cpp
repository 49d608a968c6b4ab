#include "Calculator.h"

#include <QStandardPaths>
#include <QStringList>

namespace {
QString &overrideProgram()
{
    static QString program;
    return program;
}
} // namespace

namespace Calculator {

QString program()
{
    if (!overrideProgram().isEmpty())
        return overrideProgram();
#ifdef Q_OS_WIN
    return QStringLiteral("calc");
#else
    const QStringList candidates = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                    QStringLiteral("galculator"), QStringLiteral("mate-calc"),
                                    QStringLiteral("xcalc")};
    for (const QString &name : candidates) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
#endif
}

void setProgramOverride(const QString &program)
{
    overrideProgram() = program;
}

} // namespace Calculator
