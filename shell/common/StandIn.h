#pragma once

#include <QString>

class QWidget;

// Pages and dialogs that are not built yet stand in with their title on
// show and one debug line per call, "stand-in: <Class>::<operation>", so
// that the main window can be driven and checked before they exist.
void standInCall(const char *className, const char *operation);
// A centred title label filling the widget.
void standInTitle(QWidget *widget, const QString &title);
