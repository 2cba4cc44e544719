#pragma once

#include "models/Feature.h"
#include "platform/Binding.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QDialog;
class OnboardingSheet;

// The five rows the application shows on its welcome page, in order.
QList<Feature> defaultOnboardingFeatures();

// The first-launch welcome. Its own area stays blank; once shown, and while
// the "isFirstTime" setting is true, it presents the welcome page as a sheet
// over its window. The sheet's one way out is "Continue", which stores the
// setting as false and closes the sheet; the application, watching the same
// setting, then puts the main window content in its place. The setting comes
// from the owner as a binding.
class OnboardingView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool showingOnboarding READ isShowingOnboarding NOTIFY showingOnboardingChanged)

public:
    // The widest the feature list and "Continue" get, and the sheet width
    // below which they take the whole width instead: the column plus the
    // rows' padding on both sides.
    static constexpr int kMaximumContentWidth = 600;
    static constexpr int kCompactWidthBelow = kMaximumContentWidth + 2 * 20;

    // An invalid colour stands for the system blue of the current scheme.
    OnboardingView(QList<Feature> features, Binding<bool> isFirstTime, QColor color = QColor(),
                   QWidget* parent = nullptr);
    ~OnboardingView() override;

    QString appName() const { return m_appName; }
    const QList<Feature>& features() const { return m_features; }
    QColor color() const { return m_color; }

    bool isShowingOnboarding() const { return m_showingOnboarding; }
    bool isClosingOnboarding() const { return m_closingOnboarding; }

    // The presented sheet, once it has been made.
    QDialog* sheet() const;
    bool isCompact() const;

signals:
    void showingOnboardingChanged(bool showing);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void presentIfFirstTime();
    void continueOnboarding();
    void setShowingOnboarding(bool showing);

    QString m_appName = QStringLiteral("Plovera");
    bool m_closingOnboarding = false;
    bool m_showingOnboarding = false;
    QList<Feature> m_features;
    Binding<bool> m_isFirstTime;
    QColor m_color;
    QPointer<OnboardingSheet> m_sheet;
};
