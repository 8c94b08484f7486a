#pragma once

class QWidget;

namespace zel::app {

// Moves a top-level window so that it sits in the middle of the screen it is on.
void centreOnScreen(QWidget* window);

// Gets a window that was just shown onto the screen now. Start-up runs before the event
// loop, so without this the logo and the re-indexing form would appear only once the work
// they announce is over. Only window-system events are handled meanwhile, never input.
void paintNow(QWidget* window);

} // namespace zel::app
