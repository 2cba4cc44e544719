#pragma once

class QWidget;

// The rows a window keeps above its content (a sheet's title row with its
// buttons), as far as the window declares them. Whatever is laid over the
// whole window, a toast for one, keeps below them so their controls stay
// reachable. Main thread only.
namespace WindowChrome {

// Declares that the window's top chrome ends at the bottom of `edge` (a
// widget of the window: the last row of the chrome or the rule under it).
// A main window's central widget declares its own tool row the same way.
// The height follows the widget as the window lays itself out.
void setTopChromeEdge(QWidget* window, QWidget* edge);

// How far the declared top chrome reaches down from the top of `window` (or
// of the central widget that declared it); 0 when none is declared or its
// edge widget has gone or is hidden.
int topChromeHeight(const QWidget* window);

} // namespace WindowChrome
