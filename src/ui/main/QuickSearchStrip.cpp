#include "ui/main/QuickSearchStrip.h"

#include "ui/main/NoticeArea.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

TFr_QuickSearch::TFr_QuickSearch(QWidget* parent)
    : QFrame(parent), Edit_QSearch(new QLineEdit(this)), CloseImage(new QToolButton(this)),
      m_icon(new QLabel(this)), m_caption(new QLabel(QStringLiteral(" Cerca:"), this))
{
    setObjectName(StripName());
    setFixedHeight(TFR_TextPanel::StripHeight);
    UseNoticeStripLook(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 2, 1);
    layout->setSpacing(4);
    m_icon->setFixedSize(20, 20);
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(20, 20));
    m_caption->setObjectName(QStringLiteral("lblCerca"));
    Edit_QSearch->setObjectName(QStringLiteral("Edit_QSearch"));
    Edit_QSearch->setClearButtonEnabled(false);
    CloseImage->setObjectName(QStringLiteral("CloseImage"));
    CloseImage->setAutoRaise(true);
    CloseImage->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    CloseImage->setIconSize({12, 12});
    CloseImage->setFixedSize(20, 20);
    CloseImage->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addWidget(m_caption, 0, Qt::AlignVCenter);
    layout->addWidget(Edit_QSearch, 1, Qt::AlignVCenter);
    layout->addWidget(CloseImage, 0, Qt::AlignTop);
    connect(Edit_QSearch, &QLineEdit::textChanged, this, &TFr_QuickSearch::filterRequested);
    connect(CloseImage, &QToolButton::clicked, this, [this] { emit closeRequested(this); });
}
