#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TSettingsHolder;

// The login prompt the tray opens when no password is stored. Its texts are Italian in every
// language; it is centred on the screen.
class TF_Login : public QDialog
{
    Q_OBJECT

public:
    explicit TF_Login(const QString& userName, QWidget* parent = nullptr);
    ~TF_Login() override;

    // Hands the typed account to the settings (nothing is written to the registry).
    void CopyTo(TSettingsHolder& settings) const;

    // The whole prompt: filled from the settings, shown modally, and taken over however it
    // was closed. Returns the dialog's result.
    static int Ask(TSettingsHolder& settings, QWidget* parent = nullptr);

    QLineEdit* Edit_Login;
    QLineEdit* Edit_Password;
    QCheckBox* cbRememberPwd;
    QPushButton* BtnAccedi;
};
