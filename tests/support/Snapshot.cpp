#include "Snapshot.h"

#include "ChineseDesktop.h"
#include "Resources.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdio>

void saveSnapshot(QWidget *widget, const QDir &dir, const QString &name, int zoom)
{
    widget->show();
    QApplication::processEvents();
    QImage image(widget->size() + QSize(40, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(96, 110, 124));
    QPainter painter(&image);
    painter.drawPixmap(20, 20, widget->grab());
    painter.end();
    image.scaled(image.size() * zoom).save(dir.filePath(name + QStringLiteral(".png")));
    widget->hide();
}

bool snapshotToolReady(int argc, int args, const char *usage)
{
    if (argc != args + 1) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return false;
    }
    initResources();
    ChineseDesktop::apply();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    return true;
}
