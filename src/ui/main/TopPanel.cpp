#include "ui/main/TopPanel.h"

#include "ui/main/NoticeArea.h"
#include "ui/main/PictureToolBar.h"

#include <QVBoxLayout>

TTopPanel::TTopPanel(QWidget* parent)
    : QWidget(parent), m_toolBar(new TPictureToolBar(this)), m_noticeArea(new TNoticeArea(this))
{
    setObjectName(QStringLiteral("pnButtons"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_noticeArea, 1);
    connect(m_noticeArea, &TNoticeArea::stripCloseRequested, this, &TTopPanel::UserTextClose);
    SetNoticeCount(0);
}

TFR_TextPanel* TTopPanel::ShowNotice(int kind, const QString& message, const QString& name)
{
    bool created = false;
    TFR_TextPanel* strip = m_noticeArea->ShowNotice(kind, message, name, &created);
    if (created)
        SetNoticeCount(m_noticeCount + 1);
    return strip;
}

void TTopPanel::UserTextClose(QWidget* strip)
{
    if (!strip || m_noticeArea->FindAnyStrip(strip->objectName()) != strip)
        return;
    m_noticeArea->RemoveStrip(strip);
    SetNoticeCount(m_noticeCount - 1);
}

void TTopPanel::AddStrip(QWidget* strip)
{
    m_noticeArea->AddStrip(strip);
    SetNoticeCount(m_noticeCount + 1);
}

void TTopPanel::SetNoticeCount(int n)
{
    m_noticeCount = n;
    setFixedHeight(TPictureToolBar::Height + TFR_TextPanel::StripHeight * qBound(0, n, MaxVisibleStrips));
    m_noticeArea->setVisible(n > 0);
}
