#pragma once

#include <QWidget>

class QPushButton;
class QToolButton;
class TGlobalTexts;
class TSetupDownload;
class TUpdateCheck;
class TUpdateProgressRow;

// The update row of the command panel: the download icon Image2 and link lblNewVersion (both
// start the download), the download's progress row, and the dismiss icon Image1. It follows
// the check and the download it is given: shown when a newer version is found, hidden when a
// check finds none or the user dismisses it. The command panel is 84 pixels high without the
// row and 112 with it (commandPanelHeightChanged). Notices go to the main window's notice
// area through noticeRequested.
class TUpdateLinkRow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CommandPanelHeight = 84;
    static constexpr int CommandPanelHeightWithRow = 112;
    static constexpr int RowHeight = CommandPanelHeightWithRow - CommandPanelHeight;

    // texts: the global texts, whose TextNewVersionLink becomes the link's caption.
    TUpdateLinkRow(TUpdateCheck& check, TSetupDownload& download, const TGlobalTexts& texts,
                   QWidget* parent = nullptr);

    // Captions of the row and of its progress row; also the language of its notices.
    void ApplyLanguage(const QString& code);
    // The command panel's height for the row's state.
    int CommandPanelHeightNow() const;

    // Handlers, public so the main window and the tests can run them directly.
    void lblNewVersionClick();
    void Image1Click();

    QToolButton* Image2;
    QPushButton* lblNewVersion;
    TUpdateProgressRow* ProgressRow;
    QToolButton* Image1;

signals:
    void commandPanelHeightChanged(int height);
    // ShowNotice(kind, text, name) of the main window: kind 0 information, 1 warning.
    void noticeRequested(int kind, const QString& text, const QString& name);

private:
    void ShowRow(bool shown);
    void OnNewerVersion();
    void OnNoUpdate(bool manual);

    TUpdateCheck& m_check;
    TSetupDownload& m_download;
    const TGlobalTexts& m_texts;
    QString m_language;
};
