#pragma once

#include "FramelessDialog.h"

namespace Ui {
class SkinDialog;
}

// The skin picker: four swatches, each reporting its skin name and colour.
// It stays open for trying skins in a row, and closes (deleting itself) at
// its close button or when the mouse leaves it.
class SkinDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit SkinDialog(QWidget *parent = nullptr);
    ~SkinDialog() override;

signals:
    void sendSkinDialogColor(QString name, QString color);

protected:
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private slots:
    void on_pushButton_exit_clicked();
    void on_pushButton_1_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();

private:
    void sendSkin(int index);

    Ui::SkinDialog *ui;
};
