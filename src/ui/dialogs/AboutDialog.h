#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: program version, the maker's notice with the current year and the maker's
// web address, which opens the home page in the browser.
class TF_About : public QDialog
{
    Q_OBJECT

public:
    // Applies the language and places the box beside the main window.
    TF_About(QWidget* mainWindow, const QString& language, const QString& webBaseUrl);
    ~TF_About() override;

    // Creates, places and shows the window modally, and destroys it when closed.
    static int Run(QWidget* mainWindow, const QString& language, const QString& webBaseUrl);

    void ApplyLanguage(const QString& code);
    // Opens the maker's home page in the default browser.
    void Label3Click();

    QLabel* lblDescrizione;
    QLabel* lblVersion;
    QLabel* lblNotice;
    QLabel* Label3;
    QPushButton* BtnOk;

private:
    QString m_webBaseUrl;
};
