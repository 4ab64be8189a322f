#include "ui/dialogs/CountrySelector.h"

#include "compose/CountryTable.h"

#include <QFocusEvent>
#include <QTimer>

TCountrySelector::TCountrySelector(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("ComboNazione"));
    setMaxVisibleItems(16);
    QStringList names;
    names.reserve(kCountryCount);
    for (int row = 0; row < kCountryCount; ++row)
        names.append(CountryName(row));
    addItems(names);
    setCurrentIndex(-1);
}

TCountrySelector::~TCountrySelector() = default;

QString TCountrySelector::SelectedName() const
{
    return CountryName(currentIndex());
}

QString TCountrySelector::SelectedPrefix() const
{
    return CountryPrefix(currentIndex());
}

bool TCountrySelector::SelectRemembered(const QString& lastIntPrefix)
{
    const int row = FindCountryByName(lastIntPrefix);
    if (row < 0)
        return false;
    SelectRow(row);
    return true;
}

void TCountrySelector::SelectRow(int row)
{
    setCurrentIndex(row >= 0 && row < kCountryCount ? row : -1);
    Apply(false);
}

QString TCountrySelector::SelectCountryOfNumber(const QString& number)
{
    TCountryMatch match = FindCountryOfNumber(number);
    SelectRow(match.Row);
    return match.Rest;
}

void TCountrySelector::showPopup()
{
    m_choosing = true;
    QComboBox::showPopup();
}

void TCountrySelector::hidePopup()
{
    QComboBox::hidePopup();
    // The item chosen with the mouse becomes current only after the popup is hidden.
    QTimer::singleShot(0, this, [this] {
        if (!m_choosing)
            return;
        m_choosing = false;
        if (currentIndex() != m_appliedRow)
            Apply(true);
    });
}

void TCountrySelector::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && !m_choosing && currentIndex() != m_appliedRow)
        Apply(false);
}

void TCountrySelector::Apply(bool byUser)
{
    m_appliedRow = currentIndex();
    emit countryApplied(m_appliedRow, SelectedName(), SelectedPrefix(), byUser);
}
