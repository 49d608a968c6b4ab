#include "NoteEditors.h"

#include "NoteDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

QList<NoteDialog *> noteEditors()
{
    QList<NoteDialog *> editors;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *editor = qobject_cast<NoteDialog *>(w))
            if (editor->isVisible())
                editors.append(editor);
    }
    return editors;
}

QString editorText(NoteDialog *editor)
{
    return editor->findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText();
}

void saveInEditor(NoteDialog *editor, const QString &text)
{
    editor->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(text);
    QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("pushButton_save")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
