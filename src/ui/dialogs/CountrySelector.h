#pragma once

#include <QComboBox>

// The country choice of every form (ComboNazione): the countries of the prefix table in the
// table's order. A choice is applied when the drop-down closes on a new country, when the
// selector loses the focus after keyboard steps, or when the program selects one; keyboard
// steps inside the closed selector apply nothing yet. The owner stores the applied country as
// "LastIntPrefix" and saves the settings.
class TCountrySelector : public QComboBox
{
    Q_OBJECT

public:
    explicit TCountrySelector(QWidget* parent = nullptr);
    ~TCountrySelector() override;

    // -1, an empty name and an empty prefix while no country is selected.
    int SelectedRow() const { return currentIndex(); }
    QString SelectedName() const;
    QString SelectedPrefix() const;

    // Selects the country whose name is lastIntPrefix (ignoring letter case) and applies it as
    // the program. Without such a country the selection stays as it is, nothing is applied and
    // the answer is false.
    bool SelectRemembered(const QString& lastIntPrefix);
    // Selects row (-1: none) and applies it as the program.
    void SelectRow(int row);
    // The country of a stored number (first 5, 4, 3, then 2 characters against the prefixes):
    // selected, or the selection cleared when none matches, and applied as the program. Answers
    // the number without the matched prefix (the whole number when none matched).
    QString SelectCountryOfNumber(const QString& number);

    void showPopup() override;
    void hidePopup() override;

signals:
    // A country was applied: its row (-1 for none), name and prefix (empty for none). byUser is
    // true when the user closed the drop-down on it: the owner moves the focus to its number.
    void countryApplied(int row, const QString& name, const QString& prefix, bool byUser);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Apply(bool byUser);

    bool m_choosing = false;
    int m_appliedRow = -1;
};
