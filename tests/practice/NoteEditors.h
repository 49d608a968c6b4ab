#pragma once

#include <QList>
#include <QString>

class NoteDialog;

// The note editors a question cell opens, driven as the user does.

// Every note editor on screen, oldest first.
QList<NoteDialog *> noteEditors();
// The text the editor shows.
QString editorText(NoteDialog *editor);
// Writes the text and clicks save; the editor closes and is deleted.
void saveInEditor(NoteDialog *editor, const QString &text);
