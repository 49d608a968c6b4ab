// Draws every image the forms name from one table, so the program ships
// no image it did not make itself.
//
// usage: imagegen TABLE OUTDIR
// Each table row becomes OUTDIR/<path without ":/">.

#include "GifWriter.h"
#include "ImageSpec.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

bool writeImage(const ImageSpec &row, const QString &file)
{
    if (!file.endsWith(QLatin1String(".gif")))
        return row.draw().save(file);
    QVector<QImage> frames;
    for (int i = 0; i < row.frameCount(); ++i)
        frames.append(row.draw(i));
    const QByteArray data = GifWriter::encode(frames, row.frameDelayMs());
    QFile out(file);
    return !data.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(data) == data.size() && out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: imagegen TABLE OUTDIR\n");
        return 2;
    }
    QFile table(QString::fromLocal8Bit(argv[1]));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "imagegen: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[2]));
    QTextStream in(&table);
    in.setCodec("UTF-8");
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        QString error;
        const auto row = ImageSpec::parse(line, &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "imagegen: line %d: %s\n", lineNo, qPrintable(error));
            return 1;
        }
        if (!row)
            continue;
        const QString file = outDir.filePath(row->relativePath());
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!writeImage(*row, file)) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
