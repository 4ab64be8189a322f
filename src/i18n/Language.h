#pragma once

#include <QString>
#include <optional>

// Language codes and the one dispatch rule every window's ApplyLanguage follows:
// the code is compared exactly; "ITA" is Italian, "ENG", "FRA", "DEU" and "ESP" are
// English, "POR" is Portuguese, and any other code (empty or lower-case included) changes nothing.
enum class LanguageGroup { None, Italian, English, Portuguese };

LanguageGroup LanguageGroupOf(const QString& code);

// One text in the three languages, as UTF-8 literals.
struct Tr
{
    const char* ita;
    const char* eng;
    const char* por;
};

// The text of the code's group, or nothing for a code outside the dispatch.
std::optional<QString> PickText(const QString& code, const Tr& text);

// Assigns the text of the code's group to target; leaves it alone for other codes.
void ApplyText(const QString& code, QString& target, const Tr& text);

// The status-bar animations (sending, lookup, suggestion): the text after current in
// cycle; the last text and any text outside the cycle give the first.
QString NextInCycle(const QString& current, const QString* cycle, int count);
