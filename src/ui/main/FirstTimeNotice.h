#pragma once

#include <QDialog>

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

    QLabel* lblMsgClose;
    QCheckBox* cbDontShowAgain;
    QPushButton* BtnOk_2;
};
