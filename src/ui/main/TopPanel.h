#pragma once

#include <QWidget>

class TFR_TextPanel;
class TNoticeArea;
class TPictureToolBar;

// The main window's top panel (pnButtons): the picture tool bar and under it the notice
// strips. Its height follows the number of strips it is told to show: 26 pixels for none,
// 34 more for each strip up to three; beyond that the notice area scrolls.
class TTopPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxVisibleStrips = 3;

    explicit TTopPanel(QWidget* parent = nullptr);

    TPictureToolBar* ToolBar() const { return m_toolBar; }
    TNoticeArea* NoticeArea() const { return m_noticeArea; }

    // Finds the strip called name, or adds one (and counts it); sets its text and icon.
    // An empty name takes "Fr_" and the time as HHNNSS.
    TFR_TextPanel* ShowNotice(int kind, const QString& message, const QString& name);
    // Destroys the strip and counts one less.
    void UserTextClose(QWidget* strip);
    // Adds a strip of another kind (the quick search) and counts it.
    void AddStrip(QWidget* strip);
    int NoticeCount() const { return m_noticeCount; }
    // How many strips the panel makes room for; 0 hides the notice area.
    void SetNoticeCount(int n);

private:
    TPictureToolBar* m_toolBar;
    TNoticeArea* m_noticeArea;
    int m_noticeCount = 0;
};
