#pragma once

#include <QDir>
#include <QString>

class QWidget;

// For the snapshot dev tools: shows the widget, draws it on a mid-grey
// ground (so translucent edges show) into DIR/NAME.png, and hides it again.
// A zoom above 1 enlarges small widgets to see their pixels.
void saveSnapshot(QWidget *widget, const QDir &dir, const QString &name, int zoom = 1);
