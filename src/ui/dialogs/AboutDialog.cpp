#include "ui/dialogs/AboutDialog.h"

#include "platform/Paths.h"
#include "platform/SystemFacts.h"
#include "i18n/Language.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// A word mark standing for a logo.
QLabel* LogoLabel(const QString& text, int pointSizeDelta, const QString& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + pointSizeDelta);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(color));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// "www.example.com" for "http://www.example.com/": the address as users read it.
QString ShownAddress(const QString& url)
{
    const QUrl parsed(url);
    QString shown = parsed.host();
    if (parsed.port() != -1)
        shown += u':' + QString::number(parsed.port());
    return shown.isEmpty() ? url : shown;
}
} // namespace

TF_About::TF_About(QWidget* mainWindow, const QString& language, const QString& webBaseUrl)
    : QDialog(mainWindow), lblDescrizione(new QLabel(QStringLiteral("Brelmont per Microsoft Windows, versione"), this)),
      lblVersion(new QLabel(GetProgramVersion(), this)),
      lblNotice(new QLabel(QStringLiteral("Copyright © %1 TarvoTelecom").arg(SystemFacts::Now().date().year()), this)),
      Label3(new QLabel(this)), BtnOk(new QPushButton(QStringLiteral("Ok"), this)), m_webBaseUrl(webBaseUrl)
{
    setObjectName(QStringLiteral("TF_About"));
    UseFixedWindowFrame(this);
    setWindowTitle(QStringLiteral("Informazioni su Brelmont"));
    lblDescrizione->setObjectName(QStringLiteral("lblDescrizione"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    Label3->setObjectName(QStringLiteral("Label3"));

    Label3->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff;\">%2</a>")
                        .arg(webBaseUrl.toHtmlEscaped(), ShownAddress(webBaseUrl).toHtmlEscaped()));
    Label3->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->setAlignment(Qt::AlignCenter);
    connect(Label3, &QLabel::linkActivated, this, [this] { Label3Click(); });

    auto* versionRow = new QHBoxLayout;
    versionRow->addStretch();
    versionRow->addWidget(lblDescrizione);
    versionRow->addWidget(lblVersion);
    versionRow->addStretch();
    lblNotice->setAlignment(Qt::AlignCenter);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BtnOk);
    buttonRow->addStretch();
    BtnOk->setMinimumWidth(75);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(LogoLabel(QStringLiteral("Brelmont"), 12, QStringLiteral("#1f4e9c"), this));
    layout->addLayout(versionRow);
    layout->addStretch();
    layout->addWidget(lblNotice);
    layout->addWidget(Label3);
    layout->addWidget(LogoLabel(QStringLiteral("TarvoTelecom"), 2, QStringLiteral("#7a7a7a"), this));
    layout->addStretch();
    layout->addLayout(buttonRow);

    ApplyLanguage(language);
    FixSizeAtLeast(this, {365, 264});
    PlaceBesideMainWindow(this, mainWindow);
}

TF_About::~TF_About() = default;

int TF_About::Run(QWidget* mainWindow, const QString& language, const QString& webBaseUrl)
{
    TF_About window(mainWindow, language, webBaseUrl);
    return ExecDialog(window);
}

void TF_About::ApplyLanguage(const QString& code)
{
    if (const auto title = PickText(code, {"Informazioni su Brelmont", "Info about Brelmont", "Informaçoes sobre Brelmont"}))
        setWindowTitle(*title);
    if (const auto text = PickText(code, {"Brelmont per Microsoft Windows, versione", "Brelmont for Microsoft Windows, version",
                                          "Brelmnt por Microsoft Windows, versao"}))
        lblDescrizione->setText(*text);
}

void TF_About::Label3Click()
{
    OpenInBrowser(QUrl(m_webBaseUrl));
}
