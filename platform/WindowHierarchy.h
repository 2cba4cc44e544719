#pragma once

#include <QList>

class QWidget;

// How top-level widgets relate as windows: a window's parent window is the
// window of its parentWidget(); the application's window list holds every
// top-level widget. Main thread only.
namespace WindowHierarchy {

// The window `window` hangs from, or nullptr for a window of its own.
QWidget* parentWindow(const QWidget* window);

// Every top-level widget of the application: those with a native window in
// the order their windows were created, then the others.
QList<QWidget*> applicationWindows();

// The windows whose parent window is `window`, in application order.
QList<QWidget*> childWindows(const QWidget* window);

// A sheet is a window-modal window hanging from another window (or one of
// window type Qt::Sheet).
bool isSheet(const QWidget* window);

// The visible sheets hanging from `window`, in application order.
QList<QWidget*> sheets(const QWidget* window);

// The sheet shown over `window`, if any (the last one when there are several).
QWidget* attachedSheet(const QWidget* window);

// Whether `window` is hidden or minimised, so that the user cannot see it.
bool isOutOfSight(const QWidget* window);

// Shown and not minimised: a minimised window is not visible.
bool isVisible(const QWidget* window);

// Whether `window` can be the application's main window: any window but a
// sheet, popup, tool window, tooltip or splash screen.
bool canBecomeMain(const QWidget* window);

// The window a window stands for as main window: a sheet belongs to the
// window it hangs from (through sheets on sheets), any other window to itself.
QWidget* mainWindowFor(QWidget* window);

} // namespace WindowHierarchy
