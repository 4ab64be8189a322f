#include "ui/dialogs/ScheduleDialog.h"

#include "i18n/Language.h"
#include "platform/SystemFacts.h"
#include "ui/dialogs/DialogSupport.h"

#include <QCalendarWidget>
#include <QPushButton>
#include <QTimeEdit>

namespace {
constexpr int Margin = 6;
constexpr int RowHeight = 24;
constexpr int RowSpacing = 6;
} // namespace

TF_Ritardo::TF_Ritardo(QWidget* parent, const QString& language)
    : QDialog(parent), Calendario(new QCalendarWidget(this)), Orario(new QTimeEdit(this)),
      BtnOk(new QPushButton(QStringLiteral("Ok"), this)),
      BtnAnnulla(new QPushButton(QStringLiteral("Annulla"), this)),
      BtnImmediato(new QPushButton(QStringLiteral("Immediato"), this))
{
    setObjectName(QStringLiteral("TF_Ritardo"));
    UseFixedWindowFrame(this);
    Calendario->setObjectName(QStringLiteral("Calendario"));
    Orario->setObjectName(QStringLiteral("Orario"));
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnAnnulla->setObjectName(QStringLiteral("BtnAnnulla"));
    BtnImmediato->setObjectName(QStringLiteral("BtnImmediato"));
    Calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendario->setGridVisible(true);
    Orario->setDisplayFormat(QStringLiteral("HH:mm"));
    BtnOk->setDefault(true);

    const QDateTime now = SystemFacts::Now();
    SetChosenDateTime(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));

    connect(BtnOk, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(BtnAnnulla, &QPushButton::clicked, this, [this] { done(ResultCancel); });
    connect(BtnImmediato, &QPushButton::clicked, this, [this] { done(ResultImmediate); });
    setWindowTitle(QStringLiteral("Pianificazione invio"));
    ApplyLanguage(language);
    LayOut();
}

TF_Ritardo::~TF_Ritardo() = default;

void TF_Ritardo::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    const auto text = [&code](const Tr& tr) { return *PickText(code, tr); };
    setWindowTitle(text({"Pianificazione invio", "Delivery time", "Hora de entrega"}));
    BtnOk->setText(text({"Ok", "Ok", "Ok"}));
    BtnAnnulla->setText(text({"Annulla", "Cancel", "Anula"}));
    BtnImmediato->setText(text({"Immediato", "No delay", "Imediato"}));
    // Month and day names follow the language too.
    const QLocale locale(LanguageGroupOf(code) == LanguageGroup::Italian      ? QLocale::Italian
                         : LanguageGroupOf(code) == LanguageGroup::Portuguese ? QLocale::Portuguese
                                                                              : QLocale::English);
    Calendario->setLocale(locale);
    Orario->setLocale(locale);
}

QDateTime TF_Ritardo::ChosenDateTime() const
{
    return QDateTime(Calendario->selectedDate(), Orario->time());
}

void TF_Ritardo::SetChosenDateTime(const QDateTime& at)
{
    Calendario->setSelectedDate(at.date());
    Orario->setTime(at.time());
}

void TF_Ritardo::reject()
{
    done(ResultCancel);
}

void TF_Ritardo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    LayOut();
}

void TF_Ritardo::LayOut()
{
    const QSize calendar = Calendario->sizeHint();
    Calendario->setGeometry(Margin, Margin, calendar.width(), calendar.height());
    const int left = Margin + calendar.width() + ColumnGap;
    const int columnWidth = ExtraWidth - ColumnGap - 2 * Margin;
    int top = Margin;
    for (QWidget* w : std::initializer_list<QWidget*>{Orario, BtnOk, BtnAnnulla, BtnImmediato}) {
        w->setGeometry(left, top, columnWidth, RowHeight);
        top += RowHeight + RowSpacing;
    }
    setFixedSize(calendar.width() + ExtraWidth, qMax(2 * Margin + calendar.height(), top + Margin));
}
