#pragma once

#include <QImage>
#include <QString>

// Pictures for question banks, drawn without fonts so that a console tool can
// make them. Tests care about their sizes; the demo subject about their look.
enum class Figure { Plain, Ecg, EcgFibrillation, ChestFilm, Bars };

QImage drawFigure(Figure figure, const QSize &size);
// Draws the figure and saves it as PNG; false with an error text on failure.
bool saveFigure(const QString &path, Figure figure, const QSize &size, QString *error);
// "plain", "ecg", "ecg-af", "chest" or "bars"; false for any other name.
bool figureFromName(const QString &name, Figure *figure);
