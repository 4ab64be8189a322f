#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// position × 100 ÷ maximum rounded to the nearest integer, a half going to the even neighbour.
int RoundedPercent(qint64 position, qint64 maximum);

// The borderless, always-on-top progress window of long list operations. It has no texts of
// its own: the caller sets the description line.
class TF_Progresso : public QWidget
{
    Q_OBJECT

public:
    explicit TF_Progresso(QWidget* parent = nullptr);
    ~TF_Progresso() override;

    // Shows text on the description line, sets the step to 1 and, when RestartPending, the
    // position back to 0.
    void SetDescription(const QString& text);
    // A maximum of 0 or less becomes 1. Sets RestartPending; a caller that wants to keep the
    // position clears it afterwards.
    void SetMax(int maximum);
    // Advances the bar by one step (never past the maximum) and shows the percentage.
    void StepIt();
    int Position() const;

    bool RestartPending = false;

    QProgressBar* pbProgress;
    QLabel* lblPercent;
    QLabel* lblDescrizioneProcesso;

private:
    void SetPosition(int position);

    int m_step = 1;
    int m_position = 0;
};
