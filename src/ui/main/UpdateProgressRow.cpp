#include "ui/main/UpdateProgressRow.h"

#include "i18n/Language.h"
#include "ui/dialogs/ProgressWindow.h"
#include "update/SetupDownload.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <limits>

TUpdateProgressRow::TUpdateProgressRow(TSetupDownload& download, QWidget* parent)
    : QWidget(parent), PBarDownload(new QProgressBar(this)),
      lblPercentage(new QLabel(QStringLiteral("0%"), this)),
      BtnCancelUpdate(new QPushButton(QStringLiteral("Annulla"), this)), m_download(download)
{
    PBarDownload->setObjectName(QStringLiteral("PBarDownload"));
    lblPercentage->setObjectName(QStringLiteral("lblPercentage"));
    BtnCancelUpdate->setObjectName(QStringLiteral("BtnCancelUpdate"));
    PBarDownload->setTextVisible(false);
    PBarDownload->setRange(0, 100);
    lblPercentage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPercentage->setMinimumWidth(lblPercentage->fontMetrics().horizontalAdvance(QStringLiteral("100%")) +
                                   4);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(PBarDownload, 1);
    layout->addWidget(lblPercentage);
    layout->addWidget(BtnCancelUpdate);

    connect(BtnCancelUpdate, &QPushButton::clicked, this, &TUpdateProgressRow::BtnCancelUpdateClick);
    connect(&m_download, &TSetupDownload::started, this, &TUpdateProgressRow::Restart);
    connect(&m_download, &TSetupDownload::progress, this, &TUpdateProgressRow::DownloadProgress);
    connect(&m_download, &TSetupDownload::finished, this, &QWidget::hide);
    connect(&m_download, &TSetupDownload::failed, this, &QWidget::hide);
    hide();
}

void TUpdateProgressRow::ApplyLanguage(const QString& code)
{
    QString caption = BtnCancelUpdate->text();
    ApplyText(code, caption, {"Annulla", "Cancel", "Anula"});
    BtnCancelUpdate->setText(caption);
}

void TUpdateProgressRow::Restart()
{
    PBarDownload->setRange(0, 100);
    PBarDownload->setValue(0);
    lblPercentage->setText(QStringLiteral("0%"));
    show();
}

void TUpdateProgressRow::DownloadProgress(qint64 bytesRead, qint64 total)
{
    if (total <= 0) {
        // Size not announced: a busy bar and the amount so far.
        PBarDownload->setRange(0, 0);
        lblPercentage->setText(QStringLiteral("%1 KB").arg(bytesRead / 1024));
        return;
    }
    // The bar counts in int; very large files count in coarser units.
    const qint64 unit = total / std::numeric_limits<int>::max() + 1;
    PBarDownload->setRange(0, static_cast<int>(total / unit));
    PBarDownload->setValue(static_cast<int>(std::min(bytesRead, total) / unit));
    lblPercentage->setText(QString::number(RoundedPercent(std::min(bytesRead, total), total)) + u'%');
}

void TUpdateProgressRow::BtnCancelUpdateClick()
{
    m_download.Cancel();
    hide();
}
