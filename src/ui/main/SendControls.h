#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class TSettingsHolder;
struct TComposeTexts;

// The command panel (pnCommands) under the message box: quality, sender and delivery time with
// the Send button while composing; the result with Continue and Close once a message is sent.
// Rows added below (the update row) make it taller.
class TSendControls : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 84;
    static constexpr int TagContinue = 1;
    static constexpr int TagClose = 2;

    // texts: the send flow's texts in the current language (the delivery hint, the
    // medium-quality notice).
    TSendControls(TSettingsHolder& settings, const TComposeTexts& texts, QWidget* parent = nullptr);
    ~TSendControls() override;

    // Captions, and the sender choice's caption from the "Sender" setting.
    void ApplyLanguage(const QString& code);
    void AddRow(QWidget* row);

    // Handlers of the choices.
    void rbHQClick();
    void rbMQClick();
    void cbInvioRitardatoChange();
    void rbImmediatoClick();
    // Stores a delivery time (days since 1899-12-30, local time); a time more than a minute in
    // the past, 0 included, selects immediate delivery.
    void SetSchedule(double days);
    double ScheduledAt() const { return m_scheduledAt; }

    // What the send hands over: the delivery time at the provider's time base (UTC+1) for the
    // "TimeZone" setting in whole hours, or 0 for immediate delivery.
    double ScheduleTime(int timeZone) const;
    static double ConvertSchedule(double localDays, int timeZone);
    quint8 QualityIndex() const;
    bool Anonymous() const;

    // The sent state: the choices hidden and reset to the sender and immediate delivery, the
    // result text with Continue and Close instead of Send. ShowComposing goes back.
    void ShowSentState(const QString& resultText);
    void ShowComposing();
    bool IsSentState() const;

    QWidget* pnQuality;
    QWidget* pnSender;
    QWidget* pnDelayed;
    QLabel* lblQuality;
    QLabel* lblSender;
    QLabel* lblDelayed;
    QRadioButton* rbHQ;
    QRadioButton* rbMQ;
    QRadioButton* rbMittente;
    QRadioButton* rbAnonimo;
    QRadioButton* rbImmediato;
    QRadioButton* rbProgrammato;
    QPushButton* BtnInviaSMS;
    QLabel* lblStatus;
    QPushButton* BtnContinua;
    QPushButton* BtnChiudi;

signals:
    void sendClicked();
    // Continue (TagContinue) or Close (TagClose) in the sent state.
    void closeClicked(int tag);

private:
    void ShowScheduleHint();

    TSettingsHolder& m_settings;
    const TComposeTexts& m_texts;
    QVBoxLayout* m_layout;
    QString m_language;
    double m_scheduledAt = 0;
};
