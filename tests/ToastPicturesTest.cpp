#include "toasts/engine/ToastPresentation.h"
#include "toasts/interface/ToastButton.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/animation/AnimationLayer.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/presenters/WindowToastPresenter.h"
#include "toasts/values/Toast.h"

#include "platform/AnimatedSurface.h"
#include "platform/AnimationClock.h"
#include "platform/ProgressIndicator.h"
#include "support/PictureScreens.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ToastRole)
Q_DECLARE_METATYPE(ToastAlignment)

namespace {
enum class Form { Title, Symbol, Image, LabeledContent, Loading, Button };

QString roleName(ToastRole role)
{
    switch (role) {
    case ToastRole::plain: return QStringLiteral("plain");
    case ToastRole::informational: return QStringLiteral("informational");
    case ToastRole::success: return QStringLiteral("success");
    case ToastRole::warning: return QStringLiteral("warning");
    case ToastRole::failure: return QStringLiteral("failure");
    }
    return {};
}

QString roleSymbol(ToastRole role)
{
    switch (role) {
    case ToastRole::plain: return QStringLiteral("doc.text");
    case ToastRole::informational: return QStringLiteral("info.circle.fill");
    case ToastRole::success: return QStringLiteral("checkmark.circle.fill");
    case ToastRole::warning: return QStringLiteral("exclamationmark.triangle.fill");
    case ToastRole::failure: return QStringLiteral("xmark.octagon.fill");
    }
    return {};
}

// A toast that stays until it is taken away.
Toast makeToast(Form form, ToastRole role)
{
    const ToastDuration untilTakenAway(0);
    switch (form) {
    case Form::Title:
        return Toast::verbatim(QStringLiteral("Settings saved"), role, untilTakenAway);
    case Form::Symbol:
        return Toast::withSymbol(QStringLiteral("Copied to clipboard"), roleSymbol(role), role, untilTakenAway);
    case Form::Image:
        return Toast::withImage(QStringLiteral("Email is sent"), ToastImageResource(QStringLiteral(":/toasts/sent.png")),
                                role, untilTakenAway);
    case Form::LabeledContent:
        return Toast::labeledContent(QStringLiteral("Email is sent"), QStringLiteral("Thank you for your feedback"),
                                     role, untilTakenAway);
    case Form::Loading:
        return Toast::withProgressIndicator(QStringLiteral("Loading apps\u2026"), role, untilTakenAway);
    case Form::Button:
        return Toast::custom(role, untilTakenAway, [](QWidget* parent) {
            auto* row = new QWidget(parent);
            auto* layout = new QHBoxLayout(row);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(12);
            layout->addWidget(new QLabel(QStringLiteral("Chart not loaded"), row));
            layout->addWidget(new ToastButton(QStringLiteral("Retry"), QStringLiteral("arrow.clockwise"),
                                              [](const ScheduleToastAction&) {}, row));
            return row;
        });
    }
    return {};
}
} // namespace

// Toasts of every role in every label form, a loading toast and a toast with
// a button, at the top and in the centre of a window, compared with the
// approved pictures.
class ToastPicturesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    // Moves the toasts' transitions on by hand, to their end.
    std::unique_ptr<ManualAnimationClock> m_clock;

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }

    void cleanup()
    {
        m_window.reset();
        ScreenFixtures::resetScheme();
    }

    void toast_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<ToastRole>("role");
        QTest::addColumn<ToastAlignment>("alignment");
        const QList<std::pair<Form, QString>> forms{{Form::Title, QStringLiteral("title")},
                                                    {Form::Symbol, QStringLiteral("symbol")},
                                                    {Form::Image, QStringLiteral("image")},
                                                    {Form::LabeledContent, QStringLiteral("labeled-content")}};
        const QList<std::pair<ToastAlignment, QString>> alignments{{ToastAlignment::top(), QStringLiteral("top")},
                                                                   {ToastAlignment::center(), QStringLiteral("center")}};
        for (const auto& [alignment, where] : alignments) {
            for (const auto& [form, formName] : forms) {
                for (const ToastRole role : {ToastRole::plain, ToastRole::informational, ToastRole::success,
                                             ToastRole::warning, ToastRole::failure})
                    QTest::newRow(qPrintable(QStringLiteral("toast-%1-%2-%3").arg(formName, roleName(role), where)))
                        << int(form) << role << alignment;
            }
            QTest::newRow(qPrintable(QStringLiteral("toast-loading-%1").arg(where)))
                << int(Form::Loading) << ToastRole::informational << alignment;
            QTest::newRow(qPrintable(QStringLiteral("toast-button-%1").arg(where)))
                << int(Form::Button) << ToastRole::plain << alignment;
        }
    }

    void toast()
    {
        QFETCH(int, form);
        QFETCH(ToastRole, role);
        QFETCH(ToastAlignment, alignment);
        const bool centred = alignment == ToastAlignment::center();
        // Presented anew in each scheme, over a window of its own.
        const auto present = [this, form, role, alignment, centred]() -> QWidget* {
            m_window = std::make_unique<QWidget>();
            m_window->resize(centred ? QSize(420, 300) : QSize(420, 160));
            PictureScreens::activate(m_window.get());
            auto presented = std::make_shared<bool>(false);
            ToastPresentation presentation;
            presentation.toast = makeToast(Form(form), role);
            presentation.toastAlignment = alignment;
            presentation.onPresent = [presented] { *presented = true; };
            toastScheduler(m_window.get()).enqueue(presentation);
            if (!QTest::qWaitFor([presented] { return *presented; }))
                return nullptr;
            // The insertion (a fade, with less motion) runs to its end.
            m_clock->advanceInFrames(1000);
            NSToastHostingController* controller = toastHostingController(m_window.get());
            const auto atRest = [controller] {
                if (!controller->hostingView() || !controller->hostingView()->isVisible())
                    return false;
                const AnimationLayer* layer = AnimationLayer::of(controller->hostingView());
                return !layer || (!layer->hasRunningAnimations() && (!layer->surface() || layer->surface()->isShowingLive()));
            };
            const bool ok = QTest::qWaitFor(atRest);
            return ok ? m_window.get() : nullptr;
        };
        PICTURES_MATCH(PictureScreens::checkBothSchemes(present, QString::fromLatin1(QTest::currentDataTag())));
    }
};

PICTURE_TEST_MAIN(ToastPicturesTest)
#include "ToastPicturesTest.moc"
