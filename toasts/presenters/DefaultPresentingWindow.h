#pragma once

class QWidget;
class ToastPresenting;

// The window toasts go to when a view has not said which: the last window,
// in the application's order, that is of the normal level, is or can become
// the main window, and is visible (minimised windows are not). None when no
// window qualifies. Main thread only.
QWidget* defaultPresentingWindow();

// The presenter of that window, for the environment's default presenter.
ToastPresenting* defaultToastPresenter();
