#pragma once

#include "net/NumberLookup.h"

#include <QDialog>
#include <QRect>

class QLabel;
class QPushButton;

// Where the details window goes beside the main window (its frame): to the left, 2 pixels apart,
// when it fits there on the monitor; else to the right; else 100 pixels in from the monitor's
// top-left corner. Tops aligned.
QPoint DetailsWindowCorner(const QRect& mainFrame, int detailsWidth, const QRect& monitor);

// Asks whether to spend one SMS on a number lookup; true for OK.
bool ConfirmLookup(QWidget* mainWindow, const QString& language);

// The details of one looked-up number. Not modal; several may be open at once, and each is
// destroyed when it is closed.
class TF_DettagliNumero : public QDialog
{
    Q_OBJECT

public:
    TF_DettagliNumero(QWidget* mainWindow, const QString& language);
    ~TF_DettagliNumero() override;

    // Creates a window for the response, places it beside the main window and shows it.
    static TF_DettagliNumero* Open(QWidget* mainWindow, const QString& language,
                                   const TLookupResponse& response);

    void ApplyLanguage(const QString& code);
    void ShowDetails(const TNumberDetails& details);
    // The service's message under the details (shown only when there is one).
    void SetBaloonText(const QString& text);
    void PlaceBesideMainWindow(const QWidget* mainWindow);

    QWidget* PanelDettagli;
    QLabel* lblNum;
    QLabel* lblNumero;
    QLabel* lblOpe;
    QLabel* lblOperatore;
    QLabel* lbl_MCC;
    QLabel* lblMCC;
    QLabel* lbl_MNC;
    QLabel* lblMNC;
    QLabel* lblZon;
    QLabel* lblZona;
    QLabel* lblSta;
    QLabel* lblStato;
    QLabel* lblBaloon;
    QPushButton* BtnOk;

private:
    TLookupTexts m_texts;
    TNumberDetails m_details;
};
