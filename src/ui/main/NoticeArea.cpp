#include "ui/main/NoticeArea.h"

#include "platform/SystemFacts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

void UseNoticeStripLook(QFrame* strip)
{
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setAutoFillBackground(true);
    QPalette colours = strip->palette();
    colours.setColor(QPalette::Window, QColor(255, 252, 220));
    colours.setColor(QPalette::WindowText, Qt::black);
    strip->setPalette(colours);
}

TFR_TextPanel::TFR_TextPanel(QWidget* parent)
    : QFrame(parent), m_icon(new QLabel(this)), m_message(new QLabel(this)), m_close(new QToolButton(this))
{
    // 34 pixels; a message that needs more lines on a narrow window makes the strip taller
    // and the notice area scrolls, rather than cutting the text.
    setMinimumHeight(StripHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    UseNoticeStripLook(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 2, 1);
    layout->setSpacing(6);
    m_icon->setFixedSize(20, 20);
    m_message->setWordWrap(true);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    m_close->setObjectName(QStringLiteral("CloseImage"));
    m_close->setAutoRaise(true); // the pressed look while the mouse is over it
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setIconSize({12, 12});
    m_close->setFixedSize(20, 20);
    m_close->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_close, 0, Qt::AlignTop);
    connect(m_close, &QToolButton::clicked, this, [this] { emit closeRequested(this); });
    SetKind(0);
}

void TFR_TextPanel::SetKind(int kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    const QStyle::StandardPixmap picture = kind == 1   ? QStyle::SP_MessageBoxWarning
                                           : kind == 2 ? QStyle::SP_MessageBoxCritical
                                                       : QStyle::SP_MessageBoxInformation;
    m_icon->setPixmap(style()->standardIcon(picture).pixmap(20, 20));
}

void TFR_TextPanel::SetMessage(const QString& text)
{
    m_message->setText(text);
    m_message->setToolTip(text);
}

QString TFR_TextPanel::Message() const
{
    return m_message->text();
}

TNoticeArea::TNoticeArea(QWidget* parent)
    : QScrollArea(parent), m_stack(new QWidget), m_layout(new QVBoxLayout(m_stack))
{
    setObjectName(QStringLiteral("NoticeArea"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    setWidget(m_stack);
}

TFR_TextPanel* TNoticeArea::FindStrip(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    return m_stack->findChild<TFR_TextPanel*>(name, Qt::FindDirectChildrenOnly);
}

QWidget* TNoticeArea::FindAnyStrip(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    return m_stack->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
}

void TNoticeArea::AddStrip(QWidget* strip)
{
    strip->setParent(m_stack);
    m_layout->insertWidget(m_layout->count() - 1, strip);
    strip->show();
}

QString TNoticeArea::UniqueName(const QString& base) const
{
    QString name = base;
    for (int n = 2; FindAnyStrip(name); ++n)
        name = base + u'_' + QString::number(n);
    return name;
}

TFR_TextPanel* TNoticeArea::ShowNotice(int kind, const QString& message, const QString& name, bool* created)
{
    TFR_TextPanel* strip = FindStrip(name);
    *created = strip == nullptr;
    if (!strip) {
        strip = new TFR_TextPanel(m_stack);
        strip->setObjectName(
            name.isEmpty()
                ? UniqueName(QStringLiteral("Fr_") + SystemFacts::Now().toString(QStringLiteral("HHmmss")))
                : name);
        connect(strip, &TFR_TextPanel::closeRequested, this, &TNoticeArea::stripCloseRequested);
        // Below the strips already shown, above the stretch that keeps them at the top.
        m_layout->insertWidget(m_layout->count() - 1, strip);
        strip->show();
    }
    strip->SetMessage(message);
    strip->SetKind(kind);
    return strip;
}

void TNoticeArea::RemoveStrip(QWidget* strip)
{
    if (!strip)
        return;
    // The strip may be inside its own close handler: detach it now, destroy it later.
    m_layout->removeWidget(strip);
    strip->hide();
    strip->setParent(nullptr);
    strip->deleteLater();
}

int TNoticeArea::StripCount() const
{
    return static_cast<int>(m_stack->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size());
}
