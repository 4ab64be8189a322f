#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// TF_ConfermaLista: explains the accepted list files before the file is chosen.
class TF_ConfermaLista : public QDialog
{
    Q_OBJECT

public:
    explicit TF_ConfermaLista(const QString& language, QWidget* parent = nullptr);
    ~TF_ConfermaLista() override;

    void ApplyLanguage(const QString& code);

    QLabel* lblInt1;
    QLabel* lblInt2;
    QLabel* lblCsvExample;
    QLabel* lblInt4;
    QTableWidget* jvsgExcelExample;
    QLabel* lblInt5;
    QPushButton* BtnContinue;
    QPushButton* BtnCancel;
};
