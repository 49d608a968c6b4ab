#pragma once

#include "NoteDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

// Every note editor on screen, oldest first.
inline QList<NoteDialog *> noteEditors()
{
    QList<NoteDialog *> editors;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *editor = qobject_cast<NoteDialog *>(widget); editor && editor->isVisible())
            editors.append(editor);
    }
    return editors;
}

// Writes the text into the editor and saves it as a user does; the editor goes.
inline void saveNote(NoteDialog *editor, const QString &text)
{
    editor->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(text);
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("pushButton_save")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
