#pragma once

#include <QStringList>

namespace zel::report::emf {

// The pictures of the symbol fonts pages are written in (Symbol, Wingdings, Wingdings 2 and
// Wingdings 3) hang on codes 0x20 to 0xFF that other fonts show as Latin letters. Those fonts
// are rarely installed here, so their text is drawn as the Unicode characters the codes stand
// for, in whichever installed font has them.
enum class SymbolFont
{
    None,
    Symbol,
    Wingdings,
    Wingdings2,
    Wingdings3
};

// Which symbol font a font of that face and character set is, if any. A symbol face asked
// for with a character set of letters is given a font of letters instead, as the devices the
// pages were made on do.
SymbolFont symbolFont(const QString& face, quint8 charSet);

// The character that code shows in font: codes 0x20 to 0xFF, or the same codes in the
// private-use range 0xF020 to 0xF0FF, become the characters they stand for, and a blank where
// the font draws nothing or we know of no character for its picture; any other code is a
// character of its own already.
char32_t symbolCharacter(SymbolFont font, char16_t code);

// The families tried, in order, for the characters of a symbol font's text.
QStringList symbolFamilies();

} // namespace zel::report::emf
