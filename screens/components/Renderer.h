#pragma once

// Chooses the scene graph backend before the first window is made. Off macOS that is Qt Quick's software renderer:
// the window draws only rectangles, text, images and vertex-coloured shapes, which it draws as well as OpenGL, and
// it starts faster and needs about half the memory, above all where OpenGL itself runs on the processor (no
// graphics driver, virtual displays). QT_QUICK_BACKEND still chooses otherwise. The app and every benchmark of a
// page call this, so a benchmark draws what a user sees.
namespace Renderer {
void choose();
}
