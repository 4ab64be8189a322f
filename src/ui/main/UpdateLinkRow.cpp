#include "ui/main/UpdateLinkRow.h"

#include "i18n/GlobalTexts.h"
#include "i18n/Language.h"
#include "ui/main/UpdateProgressRow.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdateTexts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {

QToolButton* NewIcon(QWidget* parent, const char* name, QStyle::StandardPixmap picture)
{
    auto* icon = new QToolButton(parent);
    icon->setObjectName(QString::fromLatin1(name));
    icon->setAutoRaise(true);
    icon->setIcon(parent->style()->standardIcon(picture));
    icon->setCursor(Qt::PointingHandCursor);
    return icon;
}

} // namespace

TUpdateLinkRow::TUpdateLinkRow(TUpdateCheck& check, TSetupDownload& download, const TGlobalTexts& texts,
                               QWidget* parent)
    : QWidget(parent), Image2(NewIcon(this, "Image2", QStyle::SP_ArrowDown)),
      lblNewVersion(new QPushButton(QStringLiteral("Aggiorna Brelmont adesso"), this)),
      ProgressRow(new TUpdateProgressRow(download, this)),
      Image1(NewIcon(this, "Image1", QStyle::SP_TitleBarCloseButton)), m_check(check), m_download(download),
      m_texts(texts)
{
    lblNewVersion->setObjectName(QStringLiteral("lblNewVersion"));
    lblNewVersion->setFlat(true);
    lblNewVersion->setCursor(Qt::PointingHandCursor);
    lblNewVersion->setStyleSheet(QStringLiteral(
        "QPushButton { border: none; text-align: left; color: palette(link); text-decoration: underline; }"));
    setFixedHeight(RowHeight);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    layout->addWidget(Image2);
    layout->addWidget(lblNewVersion, 1);
    layout->addWidget(ProgressRow, 1);
    layout->addWidget(Image1);

    connect(Image2, &QToolButton::clicked, this, &TUpdateLinkRow::lblNewVersionClick);
    connect(lblNewVersion, &QPushButton::clicked, this, &TUpdateLinkRow::lblNewVersionClick);
    connect(Image1, &QToolButton::clicked, this, &TUpdateLinkRow::Image1Click);
    connect(&m_check, &TUpdateCheck::newerVersionFound, this, &TUpdateLinkRow::OnNewerVersion);
    connect(&m_check, &TUpdateCheck::noUpdate, this, &TUpdateLinkRow::OnNoUpdate);
    connect(&m_download, &TSetupDownload::started, lblNewVersion, &QWidget::hide);
    connect(&m_download, &TSetupDownload::failed, this,
            [this](TFileDownload::Failure failure, const QString&) {
                // The link comes back so the download can be tried again.
                lblNewVersion->show();
                if (failure == TFileDownload::Failure::Cancelled)
                    return;
                const auto text = failure == TFileDownload::Failure::StartFailed
                                      ? UpdateTexts::SetupNotStartedNotice(m_language)
                                      : UpdateTexts::DownloadFailedNotice(m_language);
                if (text)
                    emit noticeRequested(1, *text, UpdateTexts::DownloadFailedNoticeName());
            });
    hide();
}

void TUpdateLinkRow::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) != LanguageGroup::None)
        m_language = code;
    QString caption = lblNewVersion->text();
    ApplyText(code, caption,
              {"Aggiorna Brelmont adesso", "New version available", "Uma nova versão está disponível"});
    lblNewVersion->setText(caption);
    ProgressRow->ApplyLanguage(code);
}

int TUpdateLinkRow::CommandPanelHeightNow() const
{
    return isHidden() ? CommandPanelHeight : CommandPanelHeightWithRow;
}

void TUpdateLinkRow::lblNewVersionClick()
{
    if (!m_download.IsRunning())
        m_download.Start();
}

void TUpdateLinkRow::Image1Click()
{
    ShowRow(false);
}

void TUpdateLinkRow::ShowRow(bool shown)
{
    setVisible(shown);
    emit commandPanelHeightChanged(shown ? CommandPanelHeightWithRow : CommandPanelHeight);
}

void TUpdateLinkRow::OnNewerVersion()
{
    lblNewVersion->setText(m_texts.TextNewVersionLink);
    lblNewVersion->setVisible(!m_download.IsRunning());
    ShowRow(true);
}

void TUpdateLinkRow::OnNoUpdate(bool manual)
{
    // A running download keeps its progress and Cancel in view.
    if (!m_download.IsRunning())
        ShowRow(false);
    if (!manual)
        return;
    if (const auto text = UpdateTexts::NoUpdatesNotice(m_language))
        emit noticeRequested(0, *text, UpdateTexts::NoUpdatesNoticeName());
}
