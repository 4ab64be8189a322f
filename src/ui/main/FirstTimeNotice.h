#pragma once

#include <QDialog>
#include <QRect>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;

// The notice that tells the user where the program went when its window was closed: a
// picture of the tray area, the message, a do-not-show-again box (ticked when it opens) and OK.
class TF_FirstTime : public QDialog
{
    Q_OBJECT

public:
    explicit TF_FirstTime(const QString& languageCode, QWidget* parent = nullptr);
    void ApplyLanguage(const QString& code);
    // Puts the notice's frame in the bottom right corner of monitor, 2 pixels from its right
    // edge and 40 from its bottom (above the task bar); again once shown, when the size of the
    // window frame is known.
    void PlaceAtBottomRight(const QRect& monitor);

    QLabel* lblMsgClose;
    QCheckBox* cbDontShowAgain;
    QPushButton* BtnOk_2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MoveToBottomRight();

    std::optional<QRect> m_bottomRightOf;
};
