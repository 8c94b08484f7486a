#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace zel::data {

// The order of the case-insensitive indexes: text as a person reading a list expects it.
// Each text is turned into a key that is then compared unit by unit:
//  - letter case is ignored, and an accented letter counts as its base letter (É as e,
//    Ç as c, ß as ss, Ø as o), so "Éclat" stands between "Eau" and "Ecume";
//  - digits of any script count as 0 to 9;
//  - punctuation, symbols and spaces outside the plain ASCII set, and "{", "|", "}", "~",
//    come before every digit and letter, so that such names gather at the front instead
//    of between the Latin letters and the letters of other alphabets;
//  - letters of other alphabets follow z, each alphabet in its own order.
// Index files record the collation that built them (collationName()), so a change of these
// rules is noticed and the indexes are built again.
namespace collation {

// Appends the key of text to out.
void appendKey(QStringView text, std::vector<char16_t>& out);
QString key(QStringView text);

// Changes whenever the keys change.
QString name();

// A key text that sorts after the key of every text that begins with a letter or digit:
// the end of a range that is to run "to the end of the letters".
QString afterAllLetters();

} // namespace collation
} // namespace zel::data
