#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class TSetupDownload;

// The download's part of the update row: the progress bar, the percentage and Cancel. It
// shows itself when a download starts and hides when it ends, fails or is cancelled; a new
// download starts again from 0.
class TUpdateProgressRow : public QWidget
{
    Q_OBJECT

public:
    explicit TUpdateProgressRow(TSetupDownload& download, QWidget* parent = nullptr);

    void ApplyLanguage(const QString& code);

    // The download's progress handler: bytes so far and the announced size (-1 unknown).
    void DownloadProgress(qint64 bytesRead, qint64 total);
    // Cancels the running download (if any) and hides the controls.
    void BtnCancelUpdateClick();

    QProgressBar* PBarDownload;
    QLabel* lblPercentage;
    QPushButton* BtnCancelUpdate;

private:
    void Restart();

    TSetupDownload& m_download;
};
