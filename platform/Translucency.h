#pragma once

#include <optional>

class QWidget;

// Frameless windows draw their own rounded, shadowed frames on a see-through
// ground. Only a compositing manager can show that ground; without one the
// X server paints it black, so such windows get an opaque ground instead.
class Translucency
{
public:
    // In place of Qt::WA_TranslucentBackground, after the window flags are set.
    // A widget drawn inside another window always stays see-through.
    static void apply(QWidget *widget);
    // Whether see-through windows show what lies behind them.
    static bool desktopComposites();
    // Lets tests stand in for a desktop with or without a compositing
    // manager; nullopt asks the desktop again.
    static void assumeDesktop(std::optional<bool> composites);
};
