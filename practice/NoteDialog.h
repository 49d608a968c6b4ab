#pragma once

#include "FramelessDialog.h"

namespace Ui {
class NoteDialog;
}

// Edits the note of one question. Save emits the text and closes; the close
// button and Escape only close. Modal for the whole program, it deletes
// itself when closed, so a cell opens a new one for every click.
class NoteDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit NoteDialog(QWidget *parent = nullptr);
    ~NoteDialog() override;

    void setSkinColor(const QString &skin);
    // Notes are plain text: markup the user typed stays markup.
    void setText(const QString &note);

signals:
    void sendSaveNote(QString str);

private slots:
    void on_pushButton_save_clicked();
    void on_pushButton_exit_clicked();

private:
    Ui::NoteDialog *ui;
};
