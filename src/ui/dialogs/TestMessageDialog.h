#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QToolButton;

// The notice after an accepted send with the provider's demo account: the message was not
// really delivered. Its contact button opens the provider's contact page in the browser.
class TF_TestMessage : public QDialog
{
    Q_OBJECT

public:
    // Applies the language and places the notice beside the main window.
    TF_TestMessage(QWidget* mainWindow, const QString& language, const QString& webBaseUrl);
    ~TF_TestMessage() override;

    // Creates, places and shows the window modally, and destroys it when closed.
    static int Run(QWidget* mainWindow, const QString& language, const QString& webBaseUrl);

    void ApplyLanguage(const QString& code);
    void sbChatClick();

    QLabel* lblMessage;
    QToolButton* sbChat;
    QPushButton* BtnClose;

private:
    QString m_webBaseUrl;
};
