// The start-up floor: the main window's controls made again as plain Qt
// widgets, with the same texts, font sizes and places and nothing else (no
// layouts, colours, handlers or data). The main window's start-up over this
// window's is what the program adds; the rest is what Qt takes to make and
// paint that many controls.
#pragma once

#include <QString>

class QWidget;

namespace bench {

// Writes the controls of `window`, laid out and shown, to `path` (JSON).
// Parts a control makes for itself (scroll bars, viewports, the edit inside
// a combo box) are left out: the plain control makes them again.
bool writeOutline(QWidget *window, const QString &path);

// A new top-level window holding the controls written to `path`, or none
// when the file cannot be read.
QWidget *plainWindow(const QString &path);

} // namespace bench
