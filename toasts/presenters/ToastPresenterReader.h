#pragma once

#include "toasts/presenters/ToastPresenterProxy.h"

#include <QObject>
#include <QPointer>

#include <functional>

class NSWindowToastPresenterReaderModifier;
class QWidget;

// Finds the presenter for a widget's place: an enclosing in-layout
// presenter when there is one, else the presenter of the window the widget
// is in. It hands the presenter to `content` once it is known (at once
// inside an in-layout presenter, when the window reports, at the latest one
// turn after the widget first shows, then with whatever there is, possibly
// none) and again whenever it changes. Attached to the widget. Main thread.
class ToastPresenterReader : public QObject {
    Q_OBJECT
public:
    using Content = std::function<void(const ToastPresenterProxy& presenter)>;

    ToastPresenterReader(QWidget* view, Content content);

    // The presenter the content gets now.
    ToastPresenterProxy effectivePresenter() const;
    bool assignedPresenter() const { return m_assignedPresenter; }
    NSWindowToastPresenterReaderModifier* windowReader() const { return m_windowReader; }

private:
    void setToastPresenter(ToastPresenterProxy proxy);
    void assign();
    void rebuild();

    QPointer<QWidget> m_view;
    Content m_content;
    bool m_assignedPresenter = false;
    ToastPresenterProxy m_toastPresenter;
    std::optional<ToastPresenterProxy> m_delivered;
    NSWindowToastPresenterReaderModifier* m_windowReader = nullptr;
};

// Makes the toasts of a widget's subtree go to the widget's own window (or
// to an enclosing in-layout presenter) instead of the default window.
class ToastTargetSceneModifier : public QObject {
    Q_OBJECT
public:
    explicit ToastTargetSceneModifier(QWidget* view);
    ToastPresenterReader* reader() const { return m_reader; }

private:
    ToastPresenterReader* m_reader;
};

ToastTargetSceneModifier* toastTargetScene(QWidget* view);
