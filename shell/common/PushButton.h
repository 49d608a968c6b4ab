#pragma once

#include <QPushButton>

// The image button: a page id, an image base (the path without "_normal.png"
// and "_hover.png") and a visual state, 0 normal or 2 selected. Until an
// image base is set it is a plain push button styled by its form.
class PushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PushButton(QWidget *parent = nullptr);
    ~PushButton() override;

    // Keeps the current state with the new images and hides the form's text.
    void setImageName(const QString &base);
    // 0 normal (hover image under the mouse), 2 selected (hover image
    // always); any other state leaves the look to the form.
    void applyState(int state);
    void setId(int id);
    int id() const;

private:
    int pageId = -1;
    QString imageBase;
    int state = 0;
};
