#pragma once

#include "i18n/Language.h"

#include <QList>
#include <QWidget>
#include <functional>

class QHBoxLayout;
class QToolButton;

// The picture tool bar at the top of the main window (26 pixels): pictures that run their
// command when clicked, whatever the command's enabled state, with hints in each language.
class TPictureToolBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 26;

    explicit TPictureToolBar(QWidget* parent = nullptr);

    // Adds picture number (Pictures::ToolPicture) after the ones added before.
    QToolButton* AddPicture(int number, const Tr& hint, std::function<void()> command);
    void ApplyLanguage(const QString& code);
    QList<QToolButton*> PictureButtons() const;

private:
    QHBoxLayout* m_layout;
    QList<std::pair<QToolButton*, Tr>> m_pictures;
};
