// banktool: makes question banks outside the program.
//   banktool demo SOURCE.txt OUT.sql IMAGES_DIR   compile the demo subject to SQL (schema included) and draw its images
//   banktool package SUBJECT_DIR PACKAGE.zip      pack MedicalDB.db and images/ as a subject package
//   banktool large OUT_DIR [QUESTIONS [ANSWERED]] write a large keyed bank for benchmarks

#include "BankFile.h"
#include "BankSql.h"
#include "DemoCompiler.h"
#include "LargeBank.h"
#include "SubjectPackage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

namespace {

int failWith(const QString &message)
{
    QTextStream(stderr) << "banktool: " << message << '\n';
    return 1;
}

int usage()
{
    return failWith(QStringLiteral("usage: banktool demo SOURCE OUT.sql IMAGES_DIR | package SUBJECT_DIR PACKAGE.zip"
                                   " | large OUT_DIR [QUESTIONS [ANSWERED]]"));
}

int demo(const QStringList &args)
{
    QString source, error;
    if (!readUtf8File(args[0], &source, &error))
        return failWith(error);
    DemoCompiler compiler;
    if (!compiler.compile(source))
        return failWith(QStringLiteral("%1: %2").arg(args[0], compiler.error()));
    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failWith(QStringLiteral("cannot write %1").arg(args[1]));
    out.write(bankSchemaSql().toUtf8());
    out.write(compiler.sql().toUtf8());
    out.write("\n");
    if (!out.flush() || !compiler.drawImages(args[2], &error))
        return failWith(error.isEmpty() ? QStringLiteral("cannot write %1").arg(args[1]) : error);
    QTextStream(stdout) << compiler.questionCount() << " questions\n";
    return 0;
}

int package(const QStringList &args)
{
    QString error;
    return makeSubjectPackage(args[0], args[1], &error) ? 0 : failWith(error);
}

int large(const QStringList &args)
{
    LargeBankPlan plan;
    plan.questions = args.value(1, QString::number(plan.questions)).toInt();
    plan.answered = args.value(2, QString::number(plan.answered)).toInt();
    if (plan.questions <= 0 || plan.answered < 0)
        return usage();
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!writeLargeBank(args[0], plan, &error))
        return failWith(error);
    QTextStream(stdout) << plan.questions << " questions in " << timer.elapsed() << " ms\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString verb = args.isEmpty() ? QString() : args.takeFirst();
    if (verb == QLatin1String("demo") && args.size() == 3)
        return demo(args);
    if (verb == QLatin1String("package") && args.size() == 2)
        return package(args);
    if (verb == QLatin1String("large") && args.size() >= 1 && args.size() <= 3)
        return large(args);
    return usage();
}
