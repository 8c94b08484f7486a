#pragma once

#include <QIcon>

namespace zel::ui {

// The 16 x 16 pictures of the toolbar and the search window's buttons, drawn here so that they
// scale cleanly and need no files.
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
// The search window's buttons.
QIcon funnel(); // a funnel letting a drop through: narrowing the list
QIcon all();    // three list lines, each ticked: every material again
QIcon eraser(); // the criteria wiped out
QIcon door();   // an open door: leaving without a search
// The favourite mark of a material: a gold star, or its hollow outline when not a favourite.
QIcon star(bool filled);
} // namespace glyphs

} // namespace zel::ui
