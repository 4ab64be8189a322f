#pragma once

#include <QFrame>
#include <QScrollArea>
#include <QString>

class QLabel;
class QToolButton;
class QVBoxLayout;

// The strips' light yellow panel with black text.
void UseNoticeStripLook(QFrame* strip);

// One notice strip (34 pixels): an icon for its kind (0 information, 1 warning, 2 stop),
// a word-wrapped message and a close image on the right.
class TFR_TextPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int StripHeight = 34;

    explicit TFR_TextPanel(QWidget* parent = nullptr);
    void SetKind(int kind);
    void SetMessage(const QString& text);
    QString Message() const;
    int Kind() const { return m_kind; }
    QToolButton* CloseImage() const { return m_close; }

signals:
    void closeRequested(TFR_TextPanel* strip);

private:
    QLabel* m_icon;
    QLabel* m_message;
    QToolButton* m_close;
    int m_kind = -1;
};

// The notice area under the picture tool bar: strips stacked from the top, scrolling when
// there are more than the top panel shows. Strips are looked up by name.
class TNoticeArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit TNoticeArea(QWidget* parent = nullptr);

    TFR_TextPanel* FindStrip(const QString& name) const;
    // A strip of any kind (a notice or the quick search) by its name.
    QWidget* FindAnyStrip(const QString& name) const;
    // Adds a strip of another kind below the strips shown.
    void AddStrip(QWidget* strip);
    // Finds the strip called name or adds a new one (created is set then); sets its text and icon.
    // An empty name takes "Fr_" and the time as HHNNSS (made unique within the area).
    TFR_TextPanel* ShowNotice(int kind, const QString& message, const QString& name, bool* created);
    // Removes and destroys the strip.
    void RemoveStrip(QWidget* strip);
    int StripCount() const;

signals:
    void stripCloseRequested(TFR_TextPanel* strip);

private:
    QString UniqueName(const QString& base) const;

    QWidget* m_stack;
    QVBoxLayout* m_layout;
};
