#include "PushButton.h"

PushButton::PushButton(QWidget *parent)
    : QPushButton(parent)
{
}

PushButton::~PushButton() = default;

void PushButton::setImageName(const QString &base)
{
    imageBase = base;
    applyState(state);
    setText(QString());
}

void PushButton::applyState(int newState)
{
    const QString normal = imageBase + QStringLiteral("_normal.png");
    const QString hover = imageBase + QStringLiteral("_hover.png");
    QString style;
    if (newState == 0)
        style = QStringLiteral("QPushButton{background-color: transparent;border-image: url(%1)}"
                               "QPushButton:hover{background-color: transparent;border-image: url(%2)}")
                    .arg(normal, hover);
    else if (newState == 2)
        style = QStringLiteral("QPushButton{border-image: url(%1)}").arg(hover);
    setStyleSheet(style);
    state = newState;
}

void PushButton::setId(int id)
{
    pageId = id;
}

int PushButton::id() const
{
    return pageId;
}
