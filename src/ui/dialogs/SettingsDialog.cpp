#include "ui/dialogs/SettingsDialog.h"

#include "i18n/Language.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/BrowserLink.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* HelpIcon(QWidget* parent, const char* name)
{
    auto* icon = Named(new QLabel(parent), name);
    icon->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(16, 16));
    icon->setFixedSize(16, 16);
    return icon;
}
} // namespace

QStringList TF_Settings::LanguageNames()
{
    return {QStringLiteral("English"), QStringLiteral("Italiano"), QStringLiteral("Portugues")};
}

QStringList TF_Settings::LanguageCodes()
{
    return {QStringLiteral("ENG"), QStringLiteral("ITA"), QStringLiteral("POR")};
}

QStringList TF_Settings::TimeZoneNames()
{
    QStringList names;
    for (int hours = -12; hours <= 12; ++hours)
        names.append(hours == 0 ? QStringLiteral("GMT")
                                : QStringLiteral("GMT %1%2").arg(hours > 0 ? u"+" : u"-").arg(qAbs(hours)));
    return names;
}

TF_Settings::TF_Settings(TSettingsHolder& settings, QWidget* parent)
    : QDialog(parent), pcPages(Named(new QTabWidget(this), "pcPages")),
      tsAccount(Named(new QWidget, "tsAccount")), tsPreferenze(Named(new QWidget, "tsPreferenze")),
      tsConnessione(Named(new QWidget, "tsConnessione")),
      BtnOk(Named(new QPushButton(QStringLiteral("Ok"), this), "BtnOk")),
      BtnAnnulla(Named(new QPushButton(QStringLiteral("Annulla"), this), "BtnAnnulla")),
      BtnApplica(Named(new QPushButton(QStringLiteral("Applica"), this), "BtnApplica")), m_settings(settings)
{
    setObjectName(QStringLiteral("TF_Settings"));
    UseFixedWindowFrame(this);
    setWindowTitle(QStringLiteral("Impostazioni"));
    setModal(false);

    BuildAccountPage();
    BuildPreferencesPage();
    BuildConnectionPage();
    pcPages->addTab(tsAccount, QStringLiteral("Account"));
    pcPages->addTab(tsPreferenze, QStringLiteral("Preferenze"));
    pcPages->addTab(tsConnessione, QStringLiteral("Avanzate"));

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (QPushButton* button : {BtnOk, BtnAnnulla, BtnApplica}) {
        button->setMinimumWidth(75);
        button->setAutoDefault(false);
        buttonRow->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pcPages, 1);
    layout->addLayout(buttonRow);

    connect(BtnOk, &QPushButton::clicked, this, &TF_Settings::BtnOkClick);
    connect(BtnApplica, &QPushButton::clicked, this, &TF_Settings::BtnApplicaClick);
    connect(BtnAnnulla, &QPushButton::clicked, this, &TF_Settings::BtnAnnullaClick);
    connect(&m_settings, &TSettingsHolder::valueChanged, this, [this] {
        if (!m_pushing)
            RefreshAll();
    });
    // After every load and save: the language of the dialog, and controls showing the holder.
    connect(&m_settings, &TSettingsHolder::languageApplied, this, [this](const QString& code) {
        ApplyLanguage(code);
        RefreshAll();
    });

    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(m_settings.GetLanguage());
    RefreshAll();
    SetTabOrder();
    ShowAccountPage();
}

// Tab walks the page tabs, then the fields of the page in view from the top, then the buttons.
void TF_Settings::SetTabOrder()
{
    const QList<QWidget*> order{pcPages,
                                Edit_LoginEmail,
                                Edit_Password,
                                Edit_Sender,
                                cbRememberPwd,
                                cbPBookOnline,
                                lblRegistrazioneGratuita,
                                cbRunAtStartup,
                                cbSoundDisabled,
                                cbWarnUnicode,
                                cbWarnMedium,
                                cbWarnManySMS,
                                cbAutoConnectToServer,
                                cbCheck4Upg,
                                ComboLanguage,
                                ComboFusoLocale,
                                cbProxyActive,
                                Edit_ProxyAddress,
                                seProxyPort,
                                cbProxyAuth,
                                Edit_ProxyUsername,
                                Edit_ProxyPassword,
                                BtnOk,
                                BtnAnnulla,
                                BtnApplica};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// The account page with the focus in its first field.
void TF_Settings::ShowAccountPage()
{
    pcPages->setCurrentWidget(tsAccount);
    Edit_LoginEmail->setFocus(Qt::OtherFocusReason);
}

TF_Settings::~TF_Settings() = default;

void TF_Settings::BuildAccountPage()
{
    lblUserName = Named(new QLabel(QStringLiteral("UserID:"), tsAccount), "lblUserName");
    Edit_LoginEmail = Named(new QLineEdit(tsAccount), "Edit_LoginEmail");
    imgHelpUserName = HelpIcon(tsAccount, "imgHelpUserName");
    lblPassword = Named(new QLabel(QStringLiteral("Password:"), tsAccount), "lblPassword");
    Edit_Password = Named(new QLineEdit(tsAccount), "Edit_Password");
    Edit_Password->setEchoMode(QLineEdit::Password);
    imgHelpPassword = HelpIcon(tsAccount, "imgHelpPassword");
    lblSender = Named(new QLabel(QStringLiteral("Mittente:"), tsAccount), "lblSender");
    Edit_Sender = Named(new QLineEdit(tsAccount), "Edit_Sender");
    imgHelpSender = HelpIcon(tsAccount, "imgHelpSender");
    cbRememberPwd = Named(new QCheckBox(QStringLiteral("Ricorda password"), tsAccount), "cbRememberPwd");
    cbPBookOnline =
        Named(new QCheckBox(QStringLiteral("Utilizza rubrica online"), tsAccount), "cbPBookOnline");
    cbPBookOnline->hide();
    lblRegistrazioneGratuita = Named(new QLabel(tsAccount), "lblRegistrazioneGratuita");
    lblRegistrazioneGratuita->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                                      Qt::LinksAccessibleByKeyboard);
    lblRegistrazioneGratuita->setCursor(Qt::PointingHandCursor);
    lblRegistrazioneGratuita->setWordWrap(true);
    connect(lblRegistrazioneGratuita, &QLabel::linkActivated, this,
            [this] { lblRegistrazioneGratuitaClick(); });

    auto* grid = new QGridLayout(tsAccount);
    grid->setContentsMargins(12, 16, 12, 12);
    grid->setVerticalSpacing(10);
    const QList<std::tuple<QLabel*, QLineEdit*, QLabel*>> rows = {
        {lblUserName, Edit_LoginEmail, imgHelpUserName},
        {lblPassword, Edit_Password, imgHelpPassword},
        {lblSender, Edit_Sender, imgHelpSender}};
    int row = 0;
    for (const auto& [label, edit, help] : rows) {
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(help, row, 2);
        ++row;
    }
    grid->addWidget(cbRememberPwd, row++, 1, 1, 2);
    grid->addWidget(cbPBookOnline, row++, 1, 1, 2);
    grid->addWidget(lblRegistrazioneGratuita, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);

    BindLineEdit(Edit_LoginEmail, Setting::UserName);
    BindLineEdit(Edit_Password, Setting::Password);
    BindCheckBox(cbRememberPwd, Setting::RememberPwd);
    BindCheckBox(cbPBookOnline, Setting::UsePGOnline);
    connect(Edit_Sender, &QLineEdit::textChanged, this, [this](const QString& text) {
        Push([&] { m_settings.SetSender(text); });
        Edit_SenderChange();
    });
    m_refreshers.push_back([this] { Edit_SenderChange(); });
}

void TF_Settings::BuildPreferencesPage()
{
    cbRunAtStartup = Named(new QCheckBox(tsPreferenze), "cbRunAtStartup");
    cbSoundDisabled =
        Named(new QCheckBox(QStringLiteral("Disabilita suono"), tsPreferenze), "cbSoundDisabled");
    cbWarnUnicode = Named(new QCheckBox(tsPreferenze), "cbWarnUnicode");
    cbWarnMedium = Named(new QCheckBox(tsPreferenze), "cbWarnMedium");
    cbWarnManySMS = Named(new QCheckBox(tsPreferenze), "cbWarnManySMS");
    cbAutoConnectToServer = Named(new QCheckBox(tsPreferenze), "cbAutoConnectToServer");
    cbCheck4Upg = Named(new QCheckBox(tsPreferenze), "cbCheck4Upg");
    cbAutoConnectToServer->hide();
    cbCheck4Upg->hide();
    lblLanguage = Named(new QLabel(tsPreferenze), "lblLanguage");
    ComboLanguage = Named(new QComboBox(tsPreferenze), "ComboLanguage");
    ComboLanguage->addItems(LanguageNames());
    lblTimeZone = Named(new QLabel(tsPreferenze), "lblTimeZone");
    ComboFusoLocale = Named(new QComboBox(tsPreferenze), "ComboFusoLocale");
    ComboFusoLocale->addItems(TimeZoneNames());
    ComboFusoLocale->setMaxVisibleItems(13);

    auto* grid = new QGridLayout(tsPreferenze);
    grid->setContentsMargins(12, 12, 12, 12);
    int row = 0;
    for (QCheckBox* box : {cbRunAtStartup, cbSoundDisabled, cbWarnUnicode, cbWarnMedium, cbWarnManySMS,
                           cbAutoConnectToServer, cbCheck4Upg})
        grid->addWidget(box, row++, 0, 1, 3);
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(lblLanguage, row, 0);
    grid->addWidget(ComboLanguage, row++, 1);
    grid->addWidget(lblTimeZone, row, 0);
    grid->addWidget(ComboFusoLocale, row++, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    lblLanguage->setBuddy(ComboLanguage);
    lblTimeZone->setBuddy(ComboFusoLocale);

    BindCheckBox(cbRunAtStartup, Setting::RunAtStartup);
    BindCheckBox(cbSoundDisabled, Setting::DisableSound);
    BindCheckBox(cbWarnUnicode, Setting::WarningUnicode);
    BindCheckBox(cbWarnMedium, Setting::WarningMediumQuality);
    BindCheckBox(cbWarnManySMS, Setting::WarningManySMS);
    BindCheckBox(cbAutoConnectToServer, Setting::StartUpConnection);
    BindCheckBox(cbCheck4Upg, Setting::CheckForUpdatesOnStartup);

    connect(ComboLanguage, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Push([&] { m_settings.SetLanguage(LanguageCodes().at(index)); });
    });
    m_refreshers.push_back([this] {
        const QSignalBlocker block(ComboLanguage);
        ComboLanguage->setCurrentIndex(LanguageCodes().indexOf(m_settings.GetLanguage()));
    });
    connect(ComboFusoLocale, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Push([&] { m_settings.SetTimeZone(index - 12); });
    });
    m_refreshers.push_back([this] {
        const QSignalBlocker block(ComboFusoLocale);
        ComboFusoLocale->setCurrentIndex(m_settings.GetTimeZone() + 12);
    });
}

void TF_Settings::BuildConnectionPage()
{
    cbProxyActive = Named(new QCheckBox(tsConnessione), "cbProxyActive");
    lblProxyAddress = Named(new QLabel(tsConnessione), "lblProxyAddress");
    Edit_ProxyAddress = Named(new QLineEdit(tsConnessione), "Edit_ProxyAddress");
    lblProxyPort = Named(new QLabel(tsConnessione), "lblProxyPort");
    seProxyPort = Named(new QSpinBox(tsConnessione), "seProxyPort");
    seProxyPort->setRange(0, 65535);
    cbProxyAuth = Named(new QCheckBox(tsConnessione), "cbProxyAuth");
    lblProxyUsername = Named(new QLabel(tsConnessione), "lblProxyUsername");
    Edit_ProxyUsername = Named(new QLineEdit(tsConnessione), "Edit_ProxyUsername");
    lblProxyPassword = Named(new QLabel(tsConnessione), "lblProxyPassword");
    Edit_ProxyPassword = Named(new QLineEdit(tsConnessione), "Edit_ProxyPassword");
    Edit_ProxyPassword->setEchoMode(QLineEdit::Password);

    auto* grid = new QGridLayout(tsConnessione);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->addWidget(cbProxyActive, 0, 0, 1, 3);
    grid->addWidget(lblProxyAddress, 1, 0);
    grid->addWidget(Edit_ProxyAddress, 1, 1, 1, 2);
    grid->addWidget(lblProxyPort, 2, 0);
    grid->addWidget(seProxyPort, 2, 1);
    grid->setRowMinimumHeight(3, 8);
    grid->addWidget(cbProxyAuth, 4, 0, 1, 3);
    grid->addWidget(lblProxyUsername, 5, 0);
    grid->addWidget(Edit_ProxyUsername, 5, 1, 1, 2);
    grid->addWidget(lblProxyPassword, 6, 0);
    grid->addWidget(Edit_ProxyPassword, 6, 1, 1, 2);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(1, 90);
    lblProxyAddress->setBuddy(Edit_ProxyAddress);
    lblProxyPort->setBuddy(seProxyPort);
    lblProxyUsername->setBuddy(Edit_ProxyUsername);
    lblProxyPassword->setBuddy(Edit_ProxyPassword);

    BindCheckBox(cbProxyActive, Setting::ProxyEnabled);
    BindCheckBox(cbProxyAuth, Setting::ProxyAuthEnabled);
    BindLineEdit(Edit_ProxyAddress, Setting::ProxyAddress);
    BindLineEdit(Edit_ProxyUsername, Setting::ProxyUsername);
    BindLineEdit(Edit_ProxyPassword, Setting::ProxyPassword);
    connect(seProxyPort, &QSpinBox::valueChanged, this,
            [this](int port) { Push([&] { m_settings.SetProxyPort(port); }); });
    m_refreshers.push_back([this] {
        const QSignalBlocker block(seProxyPort);
        seProxyPort->setValue(m_settings.GetProxyPort());
    });
}

void TF_Settings::BindCheckBox(QCheckBox* box, Setting id)
{
    connect(box, &QCheckBox::toggled, this, [this, id](bool checked) {
        TSettingsHolder& holder = m_settings;
        Push([&holder, id, checked] { holder.SetValue(id, checked); });
    });
    m_refreshers.push_back([this, box, id] {
        const QSignalBlocker block(box);
        box->setChecked(m_settings.Value(id).toBool());
    });
}

// Line edits show the field as held: an empty user name stands for the demo account.
void TF_Settings::BindLineEdit(QLineEdit* edit, Setting id)
{
    connect(edit, &QLineEdit::textChanged, this, [this, id](const QString& text) {
        TSettingsHolder& holder = m_settings;
        Push([&holder, id, &text] { holder.SetValue(id, text); });
    });
    m_refreshers.push_back([this, edit, id] {
        const QString value = m_settings.Value(id).toString();
        if (edit->text() == value)
            return;
        const QSignalBlocker block(edit);
        edit->setText(value);
    });
}

void TF_Settings::Push(const std::function<void()>& change)
{
    m_pushing = true;
    change();
    m_pushing = false;
    UpdateRules();
}

void TF_Settings::RefreshAll()
{
    for (const auto& refresh : m_refreshers)
        refresh();
    UpdateRules();
}

void TF_Settings::UpdateRules()
{
    // The contact link is offered only while no user name is typed.
    lblRegistrazioneGratuita->setVisible(Edit_LoginEmail->text().isEmpty());
    ApplyProxyRule();
}

// The sender rule: a numeric sender ("+" then digits) may have 16 characters, any other 11,
// cut at once. A longer stored numeric sender is kept whole, but no character can be added.
void TF_Settings::Edit_SenderChange()
{
    const QString sender = m_settings.GetSender();
    Edit_Sender->setMaxLength(qMax(m_settings.SenderMaxLength(), int(sender.size())));
    if (Edit_Sender->text() != sender) {
        const QSignalBlocker block(Edit_Sender);
        Edit_Sender->setText(sender); // puts the caret at the end
    }
}

void TF_Settings::ApplyProxyRule()
{
    const bool proxy = cbProxyActive->isChecked();
    const bool auth = proxy && cbProxyAuth->isChecked();
    // A disabled label is drawn in the system's grey-text colour.
    for (QWidget* w : std::initializer_list<QWidget*>{lblProxyAddress, Edit_ProxyAddress, lblProxyPort,
                                                      seProxyPort, cbProxyAuth})
        w->setEnabled(proxy);
    for (QWidget* w : std::initializer_list<QWidget*>{lblProxyUsername, Edit_ProxyUsername, lblProxyPassword,
                                                      Edit_ProxyPassword})
        w->setEnabled(auth);
}

void TF_Settings::OpenBeside(QWidget* mainWindow)
{
    if (mainWindow) {
        mainWindow->setWindowState(mainWindow->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        mainWindow->raise();
        PlaceWindow(PlacementRule::SettingsBesideMainWindow, this, mainWindow);
    }
    show();
    raise();
    activateWindow();
}

void TF_Settings::BtnOkClick()
{
    // A failed save keeps the dialog open so the reported error is not lost behind it.
    if (!m_settings.SaveSettings())
        return;
    emit languageConfirmed(m_settings.GetLanguage());
    hide();
}

void TF_Settings::BtnApplicaClick()
{
    m_settings.SaveSettings();
}

void TF_Settings::BtnAnnullaClick()
{
    m_settings.LoadSettings(false);
    hide();
}

void TF_Settings::lblRegistrazioneGratuitaClick()
{
    OpenInBrowser(ContactPageUrl(m_settings.GetEndpoints().WebBaseUrl));
}

void TF_Settings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        ShowAccountPage();
        emit shown();
    }
}

void TF_Settings::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

void TF_Settings::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        pcPages->currentWidget() != tsAccount)
        ShowAccountPage();
}

void TF_Settings::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    const auto text = [&code](const Tr& tr) { return *PickText(code, tr); };
    setWindowTitle(text({"Impostazioni", "Settings", "Configuraçoes..."}));
    BtnAnnulla->setText(text({"Annulla", "Cancel", "Anular"}));
    BtnApplica->setText(text({"Applica", "Apply", "Aplicar"}));
    BtnOk->setText(text({"Ok", "Ok", "Ok"}));
    pcPages->setTabText(pcPages->indexOf(tsAccount), text({"Account", "Account", "Account"}));
    pcPages->setTabText(pcPages->indexOf(tsPreferenze), text({"Preferenze", "Preferences", "Preferidos"}));
    pcPages->setTabText(pcPages->indexOf(tsConnessione), text({"Avanzate", "Advanced", "Advanced"}));
    cbAutoConnectToServer->setText(
        text({"Connetti automaticamente al server", "Connect automatically to the server",
              "Conecte automaticamente ao servedor"}));
    cbCheck4Upg->setText(text({"Verifica aggiornamenti all'avvio", "Look for updates at startup",
                               "Erifica atualizaçoes ao iniciar"}));
    cbRunAtStartup->setText(
        text({"Esegui all'avvio di windows", "Run when windows starts", "Executar ao iniciar do windows"}));
    cbWarnUnicode->setText(text({"Avvisare quando si invia unicode", "Warn when sending unicode messages",
                                 "Warn when sending unicode messages"}));
    cbWarnManySMS->setText(
        text({"Avvisare quando si inviano molti SMS", "Warn when sending many sms at a time",
              "Warn when sending many sms at a time"}));
    cbWarnMedium->setText(
        text({"Avvisare quando si invia media qualità", "Warn when sending medium quality sms",
              "Warn when sending medium quality sms"}));
    lblTimeZone->setText(text({"Fuso orario locale:", "Local timezone:", "Fuso horario local:"}));
    lblLanguage->setText(text({"Lingua:", "Language:", "Idioma:"}));
    lblUserName->setText(text({"UserID:", "UserID:", "UserID:"}));
    lblPassword->setText(text({"Password:", "Password:", "Password:"}));
    const QString link = text({"Contattaci per ottenere il tuo account subito.",
                               "Contact us if you want your account immediately.",
                               "Cadastre-se aqui pra ter um account gratuito"});
    lblRegistrazioneGratuita->setText(
        QStringLiteral("<a href=\"#contact\" style=\"color:#0000ff;\">%1</a>").arg(link.toHtmlEscaped()));
    lblSender->setText(text({"Mittente:", "Sender:", "Remetente:"}));
    cbProxyActive->setText(text({"Usa un proxy server", "Use a proxy server", "Usa um proxy server"}));
    lblProxyAddress->setText(text({"Indirizzo proxy:", "Proxy address:", "Endereço proxy:"}));
    lblProxyPort->setText(text({"Porta proxy:", "Proxy port:", "Porta proxy:"}));
    cbProxyAuth->setText(
        text({"Usa autenticazione proxy", "Use proxy authentication", "Usa autenticaçao proxy"}));
    lblProxyUsername->setText(text({"Username:", "Username:", "Username:"}));
    lblProxyPassword->setText(text({"Password:", "Password:", "Password:"}));
    const QString userTip =
        text({"Inserisci il tuo username.", "Insert your username.", "Intoduza teu username."});
    const QString passwordTip =
        text({"Inserisci la tua password.", "Insert your password.", "Introduza tua senha."});
    const QString senderTip =
        text({"Per la spedizione degli sms verrà utilizzato questo mittente",
              "SMS will be delivered with this originator.", "SMS will be delivered with this originator."});
    imgHelpUserName->setToolTip(userTip);
    imgHelpPassword->setToolTip(passwordTip);
    imgHelpSender->setToolTip(senderTip);
    FixSizeAtLeast(this, {362, 289});
}
