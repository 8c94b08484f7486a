#pragma once

#include <QLocale>
#include <QString>

namespace zel::app {

// Puts the program's own texts and the toolkit's (standard dialogs, buttons) into the
// language asked for: `language` is a code such as "fr" or "de_CH"; empty means the languages
// the environment names (LANGUAGE, then LC_ALL, LC_MESSAGES, LANG). Numbers and dates follow
// the same locale. A language without texts leaves the English ones. Called again, it
// replaces what an earlier call installed. Returns the locale now in force.
QLocale installTranslations(const QString& language);

} // namespace zel::app
