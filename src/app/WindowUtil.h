#pragma once

class QLabel;
class QString;
class QWidget;

namespace zel::app {

// Moves a top-level window so that it sits in the middle of the screen it is on.
void centreOnScreen(QWidget* window);

// Gets a window that was just shown onto the screen now. Start-up runs before the event
// loop, so without this the logo and the re-indexing form would appear only once the work
// they announce is over. Only window-system events are handled meanwhile, never input.
void paintNow(QWidget* window);

// A label of the start-up windows: the main window's font (8 points on the 96-dpi screen the
// layout was drawn for), black on any colour scheme, its text shown as it stands.
QLabel* plainLabel(const QString& text, QWidget* parent, bool bold);

} // namespace zel::app
