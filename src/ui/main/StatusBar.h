#pragma once

#include <QFrame>
#include <QString>

class QLabel;

// The connection light of status panel 0: a 24-pixel lamp, green when the last exchange with
// the provider worked, red otherwise.
class TConnectionLight : public QWidget
{
    Q_OBJECT

public:
    explicit TConnectionLight(QWidget* parent = nullptr);
    void SetError(bool error);
    bool IsError() const { return m_error; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_error = true;
};

// The main window's status bar: panel 0 the connection light (30 pixels), panel 1 a short
// status text of variable width, panel 2 the result texts of sending and queries.
class TMainStatusBar : public QFrame
{
    Q_OBJECT

public:
    static constexpr int LightPanelWidth = 30;
    static constexpr int InitialPanel1Width = 120;

    explicit TMainStatusBar(QWidget* parent = nullptr);

    TConnectionLight* Light() const { return m_light; }
    QString Panel1Text() const;
    int Panel1Width() const;
    void SetPanel1(const QString& text, int width);
    void SetPanel1Text(const QString& text);
    // Panel 1 carries "Test account" for the demo account and is folded away for every other.
    void ShowAccount(bool demo);
    QString Panel2Text() const;
    void SetPanel2Text(const QString& text);

private:
    TConnectionLight* m_light;
    QLabel* m_panel1;
    QLabel* m_panel2;
};
