#pragma once

#include <QDateTime>
#include <QDialog>

class QCalendarWidget;
class QPushButton;
class QTimeEdit;

// The schedule dialog: a month calendar and a time picker for a delivery time, and three
// buttons. OK ends it with ResultOk, Cancel (and the close box) with ResultCancel, the
// no-delay button with ResultImmediate.
class TF_Ritardo : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;
    static constexpr int ResultImmediate = 6;
    // The right column starts this far right of the calendar; the dialog is this much wider.
    static constexpr int ColumnGap = 15;
    static constexpr int ExtraWidth = 108;

    // The calendar shows today, the picker the current time (whole minutes).
    TF_Ritardo(QWidget* parent, const QString& language);
    ~TF_Ritardo() override;

    void ApplyLanguage(const QString& code);
    // The date of the calendar with the time of day of the picker.
    QDateTime ChosenDateTime() const;
    void SetChosenDateTime(const QDateTime& at);

    void reject() override;

    QCalendarWidget* Calendario;
    QTimeEdit* Orario;
    QPushButton* BtnOk;
    QPushButton* BtnAnnulla;
    QPushButton* BtnImmediato;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The picker and the buttons follow the calendar's width.
    void LayOut();
};
