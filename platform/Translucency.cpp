#include "Translucency.h"

#include <QPalette>
#include <QWidget>
#include <QX11Info>

namespace {

std::optional<bool> assumed;

} // namespace

void Translucency::apply(QWidget *widget)
{
    if (!widget->isWindow() || desktopComposites()) {
        widget->setAttribute(Qt::WA_TranslucentBackground);
        return;
    }
    widget->setAttribute(Qt::WA_TranslucentBackground, false);
    widget->setAttribute(Qt::WA_NoSystemBackground, false);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

bool Translucency::desktopComposites()
{
    if (assumed)
        return *assumed;
    // Other platforms (Windows, macOS, Wayland, offscreen) compose windows themselves.
    if (!QX11Info::isPlatformX11())
        return true;
    return QX11Info::isCompositingManagerRunning();
}

void Translucency::assumeDesktop(std::optional<bool> composites)
{
    assumed = composites;
}
