#pragma once

#include <QDir>
#include <QString>

class QWidget;

// For the snapshot dev tools: shows the widget, draws it on a mid-grey
// ground (so translucent edges show) into DIR/NAME.png, and hides it again.
// A zoom above 1 enlarges small widgets to see their pixels.
void saveSnapshot(QWidget *widget, const QDir &dir, const QString &name, int zoom = 1);

// For the snapshot dev tools, right after their QApplication: checks that the
// command line has `args` arguments besides the program (else prints the
// usage line), then loads the resources and the program's font.
bool snapshotToolReady(int argc, int args, const char *usage);
