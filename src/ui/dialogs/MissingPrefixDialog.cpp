#include "ui/dialogs/MissingPrefixDialog.h"

#include "i18n/Language.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/Placement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QVBoxLayout>

namespace {
struct TPrefixAnswer
{
    int result;
    QString country;
};

QQueue<TPrefixAnswer>& Answers()
{
    static QQueue<TPrefixAnswer> answers;
    return answers;
}
} // namespace

TF_PrefissoMancante::TF_PrefissoMancante(const QString& language, const QString& lastIntPrefix,
                                         QWidget* parent)
    : QDialog(parent), lblMessaggio(new QLabel(this)), lblStato(new QLabel(this)),
      ComboNazione(new TCountrySelector(this)), lblPrefissoCaption(new QLabel(this)),
      lblIntPrefix(new QLabel(this)), BtnOk(new QPushButton(QStringLiteral("Ok"), this)),
      BtnAnnulla(new QPushButton(QStringLiteral("Annulla"), this))
{
    setObjectName(QStringLiteral("TF_PrefissoMancante"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    lblMessaggio->setObjectName(QStringLiteral("lblMessaggio"));
    lblStato->setObjectName(QStringLiteral("lblStato"));
    lblPrefissoCaption->setObjectName(QStringLiteral("lblPrefissoCaption"));
    lblIntPrefix->setObjectName(QStringLiteral("lblIntPrefix"));
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnAnnulla->setObjectName(QStringLiteral("BtnAnnulla"));

    lblMessaggio->setWordWrap(true);
    lblMessaggio->setTextFormat(Qt::PlainText);
    QFont bold = lblIntPrefix->font();
    bold.setBold(true);
    lblIntPrefix->setFont(bold);
    lblIntPrefix->setMinimumWidth(lblIntPrefix->fontMetrics().horizontalAdvance(QStringLiteral("+99999")));

    auto* fields = new QGridLayout;
    fields->addWidget(lblStato, 0, 0);
    fields->addWidget(ComboNazione, 0, 1);
    fields->addWidget(lblPrefissoCaption, 1, 0);
    fields->addWidget(lblIntPrefix, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessaggio);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboNazione, &TCountrySelector::countryApplied, this,
            [this](int, const QString& name, const QString& prefix, bool) {
                CountryChanged(prefix);
                emit countryApplied(name);
            });

    ApplyLanguage(language);
    CountryChanged(QString());
    ComboNazione->SelectRemembered(lastIntPrefix);
    FixSizeAtLeast(this, {360, 150});
}

TF_PrefissoMancante::~TF_PrefissoMancante() = default;

void TF_PrefissoMancante::ApplyLanguage(const QString& code)
{
    // Portuguese shows the English texts.
    const auto caption = PickText(code, {"Avviso", "Warning", "Warning"});
    if (!caption)
        return;
    setWindowTitle(*caption);
    lblMessaggio->setText(
        *PickText(code, {"Alcuni numeri non hanno il prefisso internazionale, (Es. +39 per IT, "
                         "+44 per UK). Scegli il prefisso per questi numeri.",
                         "Some numbers don't have international prefix (Eg +44 for UK, +39 for "
                         "IT). Please select prefix for these numbers. ",
                         "Some numbers don't have international prefix (Eg +44 for UK, +39 for "
                         "IT). Please select prefix for these numbers. "}));
    lblStato->setText(*PickText(code, {"Stato:", "Country:", "Country:"}));
    lblPrefissoCaption->setText(
        *PickText(code, {"Prefisso internazionale:", "International prefix:", "International prefix:"}));
    BtnOk->setText(*PickText(code, {"Ok", "Ok", "Ok"}));
    BtnAnnulla->setText(*PickText(code, {"Annulla", "Cancel", "Cancel"}));
}

void TF_PrefissoMancante::CountryChanged(const QString& prefix)
{
    lblIntPrefix->setText(prefix);
    BtnOk->setEnabled(ComboNazione->SelectedRow() >= 0);
}

QString TF_PrefissoMancante::Prefix() const
{
    return lblIntPrefix->text();
}

int TF_PrefissoMancante::Run()
{
    if (Answers().isEmpty())
        return ExecDialog(*this);
    const TPrefixAnswer answer = Answers().dequeue();
    if (!answer.country.isEmpty())
        ComboNazione->SelectRemembered(answer.country);
    const int result =
        answer.result == QDialog::Accepted && BtnOk->isEnabled() ? QDialog::Accepted : QDialog::Rejected;
    setResult(result);
    return result;
}

std::optional<QString> TF_PrefissoMancante::Ask(QWidget* reference, const QString& language,
                                                TSettingsHolder& settings)
{
    TF_PrefissoMancante dialog(language, settings.GetLastIntPrefix(), reference);
    connect(&dialog, &TF_PrefissoMancante::countryApplied, &settings, [&settings](const QString& name) {
        settings.SetLastIntPrefix(name);
        settings.SaveSettings();
    });
    PlaceBesideMainWindow(&dialog, reference);
    if (dialog.Run() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Prefix();
}

void TF_PrefissoMancante::SetNextAnswer(int result, const QString& country)
{
    Answers().enqueue({result, country});
}

void TF_PrefissoMancante::ClearNextAnswers()
{
    Answers().clear();
}

int TF_PrefissoMancante::PendingAnswers()
{
    return int(Answers().size());
}
