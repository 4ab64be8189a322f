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
    // What screen readers say of the light in each state (its accessible description).
    void SetStateTexts(const QString& ok, const QString& error);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Describe();

    bool m_error = true;
    QString m_okText;
    QString m_errorText;
};

// The main window's status bar: panel 0 the connection light (30 pixels), panel 1 a short
// status text of variable width, panel 2 the result texts of sending and queries.
//
// Panel 1 shows its status text (too long, synchronising lists) when there is one, in the room
// the text needs; otherwise "Test account" for the demo account, and for every other account
// it is folded away.
class TMainStatusBar : public QFrame
{
    Q_OBJECT

public:
    static constexpr int LightPanelWidth = 30;
    static constexpr int InitialPanel1Width = 120;
    static constexpr int AccountPanelWidth = 80;

    explicit TMainStatusBar(QWidget* parent = nullptr);

    TConnectionLight* Light() const { return m_light; }
    // What panel 1 shows, and its width (0 when folded).
    QString Panel1Text() const;
    int Panel1Width() const;
    // The status text and its width (0: as wide as the text needs).
    QString StatusText() const { return m_statusText; }
    int StatusWidth() const { return m_statusWidth; }
    void SetPanel1(const QString& text, int width);
    void SetPanel1Text(const QString& text);
    // Whether the demo account's mark stands in panel 1 when there is no status text.
    void ShowAccount(bool demo);
    QString Panel2Text() const;
    void SetPanel2Text(const QString& text);
    // Accessible names and descriptions of the light and the two text panels.
    void ApplyLanguage(const QString& code);

private:
    void ShowPanel1();

    TConnectionLight* m_light;
    QLabel* m_panel1;
    QLabel* m_panel2;
    QString m_statusText;
    int m_statusWidth = 0;
    bool m_demo = false;
};
