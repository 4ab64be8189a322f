#include "ui/main/PictureToolBar.h"

#include "ui/main/Pictures.h"

#include <QHBoxLayout>
#include <QToolButton>

TPictureToolBar::TPictureToolBar(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("pnToolBar"));
    setFixedHeight(Height);
    m_layout->setContentsMargins(2, 1, 2, 1);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
}

QToolButton* TPictureToolBar::AddPicture(int number, const Tr& hint, std::function<void()> command)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("ToolImage%1").arg(number));
    button->setAutoRaise(true);
    button->setFixedSize(24, 24);
    button->setIconSize({24, 24});
    QIcon icon;
    icon.addPixmap(Pictures::ToolPicture(number, false), QIcon::Normal, QIcon::Off);
    icon.addPixmap(Pictures::ToolPicture(number, true), QIcon::Active, QIcon::Off);
    button->setIcon(icon);
    button->setCursor(Qt::PointingHandCursor);
    connect(button, &QToolButton::clicked, this, std::move(command));
    m_layout->insertWidget(static_cast<int>(m_pictures.size()), button);
    m_pictures.append({button, hint});
    return button;
}

void TPictureToolBar::ApplyLanguage(const QString& code)
{
    for (const auto& [button, hint] : m_pictures)
        if (auto text = PickText(code, hint))
            button->setToolTip(*text);
}

QList<QToolButton*> TPictureToolBar::PictureButtons() const
{
    QList<QToolButton*> buttons;
    for (const auto& picture : m_pictures)
        buttons.append(picture.first);
    return buttons;
}
