#pragma once
// The start the app shares with the benchmark harness, so both draw the same window the same way.

#include <optional>

class QQmlApplicationEngine;
class QQuickWindow;
class Store;

namespace AppStart {
// The names that place the settings and data files, and the desktop entry's name.
void nameApplication();
// Chooses the controls' style and the renderer, makes the fonts, the shared network manager and `store` (the
// one Store) while the engine's loader thread reads the window's QML, then makes the store window (Main.qml).
// Null when it could not be made. `store` is the caller's, so that it outlives the engine.
QQuickWindow *openStoreWindow(QQmlApplicationEngine &engine, std::optional<Store> &store);
} // namespace AppStart
