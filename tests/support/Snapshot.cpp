#include "Snapshot.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

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
