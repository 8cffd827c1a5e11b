#pragma once
// The start-up benchmark's figure line, shared by the harness and the bare window it is compared with.

class QQuickWindow;

// After the next frame of `window` reaches the screen: prints "drawn-ms: <epoch ms> rss-kb: <resident kB>
// gui-cpu-ms: <processor time of the GUI thread>" and ends the program.
void reportWhenDrawn(QQuickWindow *window);
