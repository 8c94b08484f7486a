#pragma once

#include <QIcon>

namespace zel::ui {

// The toolbar's 16 x 16 pictures, drawn here so that they scale cleanly and need no files.
namespace glyphs {
QIcon first();   // red arrow pointing left against a bar
QIcon prior();   // red arrow pointing left
QIcon next();    // red arrow pointing right
QIcon last();    // red arrow pointing right against a bar
QIcon order();   // a sheet with sorted lines and a pencil
QIcon select();  // a sheet with a funnel-like mark and a pencil
QIcon print();   // a printer
QIcon show();    // a sheet opening below a pencil
QIcon hide();    // a sheet closing below a pencil
QIcon program(); // the program icon: a flask with a drop
} // namespace glyphs

} // namespace zel::ui
