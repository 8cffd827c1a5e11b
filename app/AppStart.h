#pragma once
// The start the app shares with the benchmark harness, so both draw the same window the same way.

class QQmlApplicationEngine;
class QQuickWindow;

namespace AppStart {
// The names that place the settings and data files, and the desktop entry's name.
void nameApplication();
// Fonts, the controls' style, the renderer and the shared network manager: before the first window.
void prepare();
// Loads the store window (Main.qml); null when it could not be made.
QQuickWindow *loadStoreWindow(QQmlApplicationEngine &engine);
} // namespace AppStart
