#include "ui/dialogs/LoginDialog.h"

#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TF_Login::TF_Login(const QString& userName, QWidget* parent)
    : QDialog(parent), Edit_Login(new QLineEdit(userName, this)), Edit_Password(new QLineEdit(this)),
      cbRememberPwd(new QCheckBox(QStringLiteral("Ricorda password"), this)),
      BtnAccedi(new QPushButton(QStringLiteral("Accedi"), this))
{
    setObjectName(QStringLiteral("TF_Login"));
    UseFixedWindowFrame(this);
    setWindowTitle(QStringLiteral("Login"));
    Edit_Login->setObjectName(QStringLiteral("Edit_Login"));
    Edit_Password->setObjectName(QStringLiteral("Edit_Password"));
    cbRememberPwd->setObjectName(QStringLiteral("cbRememberPwd"));
    BtnAccedi->setObjectName(QStringLiteral("BtnAccedi"));
    Edit_Password->setEchoMode(QLineEdit::Password);
    cbRememberPwd->setChecked(false);
    BtnAccedi->setDefault(true);
    BtnAccedi->setMinimumWidth(75);
    connect(BtnAccedi, &QPushButton::clicked, this, &QDialog::accept);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Utente:"), Edit_Login);
    fields->addRow(QStringLiteral("Password:"), Edit_Password);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BtnAccedi);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(cbRememberPwd);
    layout->addStretch();
    layout->addLayout(buttonRow);
    FixSizeAtLeast(this, {219, 147});

    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()).topLeft());
}

TF_Login::~TF_Login() = default;

void TF_Login::CopyTo(TSettingsHolder& settings) const
{
    settings.SetUserName(Edit_Login->text());
    settings.SetPassword(Edit_Password->text());
    settings.SetRememberPwd(cbRememberPwd->isChecked());
}

int TF_Login::Ask(TSettingsHolder& settings, QWidget* parent)
{
    TF_Login dialog(settings.GetUserName(), parent);
    const int result = ExecDialog(dialog);
    dialog.CopyTo(settings);
    return result;
}
