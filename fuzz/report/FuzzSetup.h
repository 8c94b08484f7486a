#pragma once

class QImage;

namespace zel::fuzz {

// Starts a QGuiApplication on the offscreen platform (playing pages draws text), quiets Qt's
// warnings and warms the font caches, so that memory they keep for the whole run is not taken
// for a leak.
void startGui(int* argc, char*** argv);

// A small page to play onto, cleared for each input.
QImage& canvas();

} // namespace zel::fuzz
