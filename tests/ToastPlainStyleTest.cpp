#include "toasts/animation/AnimationLayer.h"
#include "toasts/styles/AnyToastStyle.h"
#include "toasts/styles/PlainToastBackground.h"
#include "toasts/styles/PlainToastStyle.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/interface/ToastButton.h"
#include "toasts/presenters/WindowToastPresenter.h"
#include "toasts/values/Toast.h"
#include "toasts/styles/ToastButtonStyle.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/values/ToastPresentedAlignment.h"

#include "platform/AccessibilitySettings.h"
#include "platform/AnimationClock.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QAccessible>
#include <QApplication>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(ToastAlignment)
Q_DECLARE_METATYPE(ColorScheme)

namespace {
// Hosts a toast the way a presenter does: the presented alignment, the
// dismiss action and the captured style written into its environment.
struct Host {
    std::unique_ptr<QWidget> root = std::make_unique<QWidget>();
    int dismissed = 0;
    QWidget* card = nullptr;

    Host(const Toast& toast, std::optional<ToastAlignment> alignment, bool interactive = true)
    {
        if (alignment)
            Environment::set(root.get(), ToastPresentedAlignmentEnvironmentKey::key(), alignment);
        Environment::set(root.get(), ToastDismissEnvironmentKey::key(),
                         std::optional<ToastDismissAction>(ToastDismissAction(1, [this] { ++dismissed; })));
        toastInteractiveDismissDisabled(root.get(), !interactive);
        auto* layout = new QVBoxLayout(root.get());
        layout->setContentsMargins(24, 24, 24, 24);
        card = makeToastWidget(toast, root.get());
        layout->addWidget(card, 0, Qt::AlignCenter);
        root->show();
    }
    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return root->findChild<T*>(name);
    }
};

QList<std::pair<QAccessible::Event, QObject*>> accessibilityEvents;

// Every name assistive technology reads below `node`.
QStringList spokenNames(QAccessibleInterface* node)
{
    QStringList names{node->text(QAccessible::Name)};
    for (int i = 0; i < node->childCount(); ++i)
        names += spokenNames(node->child(i));
    return names;
}

// The colour of the most opaque pixel `widget` paints on a clear ground.
QColor strongestColour(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QColor strongest(0, 0, 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > strongest.alpha())
                strongest = image.pixelColor(x, y);
        }
    }
    strongest.setAlpha(255);
    return strongest;
}

bool near(const QColor& drawn, const QColor& expected)
{
    return std::abs(drawn.red() - expected.red()) <= 3 && std::abs(drawn.green() - expected.green()) <= 3
        && std::abs(drawn.blue() - expected.blue()) <= 3;
}

// Hands the application a desktop palette of `scheme`, as a light/dark switch does.
void switchDesktopTo(ColorScheme scheme)
{
    QPalette palette;
    palette.setColor(QPalette::Window, SemanticColors::windowBackground(scheme));
    palette.setColor(QPalette::WindowText, scheme == ColorScheme::Dark ? Qt::white : Qt::black);
    QApplication::setPalette(palette);
}

Toast labelToast(ToastRole role)
{
    return Toast::withSymbol(QStringLiteral("Copied to clipboard"), QStringLiteral("checkmark.circle.fill"), role,
                             ToastDuration(3));
}
} // namespace

class ToastPlainStyleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualAnimationClock> m_clock;

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }
    void cleanup()
    {
        AccessibilitySettings::instance()->setReduceTransparencyOverride(std::nullopt);
        setColorSchemeOverride(std::nullopt);
        QApplication::setPalette(QPalette());
    }

    void labelLayoutFollowsPresentedAlignment_data()
    {
        QTest::addColumn<std::optional<ToastAlignment>>("alignment");
        QTest::addColumn<bool>("column");
        QTest::newRow("center") << std::optional(ToastAlignment::center()) << true;
        QTest::newRow("all four edges")
            << std::optional(ToastAlignment(Edge::top | Edge::leading | Edge::bottom | Edge::trailing)) << true;
        QTest::newRow("topTrailing") << std::optional(ToastAlignment::topTrailing()) << false;
        QTest::newRow("bottom") << std::optional(ToastAlignment::bottom()) << false;
        QTest::newRow("absent") << std::optional<ToastAlignment>() << false;
    }

    void labelLayoutFollowsPresentedAlignment()
    {
        QFETCH(std::optional<ToastAlignment>, alignment);
        QFETCH(bool, column);
        Host host(labelToast(ToastRole::success), alignment);
        auto* icon = host.find<QLabel>(QStringLiteral("ToastIcon"));
        auto* title = host.find<QLabel>(QStringLiteral("ToastContent"));
        QVERIFY(icon && title);
        if (column)
            QVERIFY(icon->geometry().bottom() < title->geometry().top());
        else
            QVERIFY(icon->geometry().right() < title->geometry().left());
        // Short titles still make a card at least 180 wide.
        auto* body = static_cast<PlainToastStyle::StyledViewBody*>(host.card);
        QVERIFY(body->background()->width() >= 180);
        // Long titles grow the card: nothing is cut.
        QVERIFY2(title->width() >= title->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(title->width()).arg(title->sizeHint().width())));
    }

    void labelsOfEveryTitleKindShowTheirImageOrSymbol()
    {
        const ToastImageResource sent(QStringLiteral(":/toasts/sent.png"));
        const ToastStringResource resource{"Toast", "Sent"};
        const ToastRole role = ToastRole::success;
        const ToastDuration duration(2);
        // Keys without a translation show the key itself.
        const QList<std::pair<Toast, bool>> toasts{
            {Toast::withImage(QStringLiteral("Sent"), QStringLiteral("toasts/sent"), role, duration), true},
            {Toast::localizedWithImage("Sent", QStringLiteral("toasts/sent.png"), role, duration), true},
            {Toast::withImage(resource, QStringLiteral(":/toasts/sent"), role, duration), true},
            {Toast::withImage(QStringLiteral("Sent"), sent, role, duration), true},
            {Toast::localizedWithImage("Sent", sent, role, duration), true},
            {Toast::withImage(resource, sent, role, duration), true},
            {Toast::localizedWithSymbol("Sent", QStringLiteral("checkmark"), role, duration), false},
            {Toast::withSymbol(resource, QStringLiteral("checkmark"), role, duration), false},
        };
        for (const auto& [toast, image] : toasts) {
            Host host(toast, ToastAlignment::top());
            QCOMPARE(host.find<QLabel>(QStringLiteral("ToastContent"))->text(), QStringLiteral("Sent"));
            auto* icon = host.find<QLabel>(QStringLiteral("ToastIcon"));
            QVERIFY(icon->isVisible() && !icon->pixmap().isNull());
            if (image)
                QCOMPARE(icon->pixmap().toImage().pixelColor(12, 12), QColor(30, 160, 80));
        }
        QCOMPARE(Toast::localized(resource, role, duration).configuration.content.titleText(), QStringLiteral("Sent"));

        // An image that is not there leaves the title on its own.
        Host missing(Toast::withImage(QStringLiteral("Sent"), QStringLiteral("no/such/image"), role, duration),
            ToastAlignment::top());
        QVERIFY(!missing.find<QLabel>(QStringLiteral("ToastIcon"))->isVisible());
        QVERIFY(missing.find<QLabel>(QStringLiteral("ToastContent"))->isVisible());
    }

    void progressLabelDrawsItsIndicatorAtTheIconSizeInTheRoleTint()
    {
        struct Case {
            ToastRole role;
            ToastAlignment alignment;
            int side;
        };
        for (const Case& c : {Case{ToastRole::failure, ToastAlignment::topTrailing(), 24},
                 Case{ToastRole::success, ToastAlignment::center(), 64}, Case{ToastRole::plain, ToastAlignment::top(), 24}}) {
            Host host(Toast::withProgressIndicator(QStringLiteral("Loading"), c.role, ToastDuration(4)), c.alignment);
            auto* icon = host.find(QStringLiteral("ToastIcon"));
            auto* title = host.find<QLabel>(QStringLiteral("ToastContent"));
            QVERIFY(icon && title);
            QCOMPARE(title->text(), QStringLiteral("Loading"));
            QCOMPARE(icon->size(), QSize(c.side, c.side));
            const QColor tint = PlainToastStyle::tint(c.role, icon);
            const QColor drawn = strongestColour(icon);
            QVERIFY2(std::abs(drawn.red() - tint.red()) <= 3 && std::abs(drawn.green() - tint.green()) <= 3
                    && std::abs(drawn.blue() - tint.blue()) <= 3,
                qPrintable(drawn.name() + QStringLiteral(" for ") + tint.name()));
            // It turns while shown.
            const QImage first = icon->grab().toImage();
            QTRY_VERIFY(icon->grab().toImage() != first);
        }
    }

    void titleAndLabelledContentCarryTheirIds()
    {
        // A plain string that looks like a key is shown as it stands.
        Host title(Toast::verbatim(QStringLiteral("settings.saved"), ToastRole::plain, ToastDuration(2)),
                   ToastAlignment::top());
        QCOMPARE(title.find<QLabel>(QStringLiteral("ToastTitle"))->text(), QStringLiteral("settings.saved"));

        Host content(Toast::labeledContent(QStringLiteral("Sent"), QStringLiteral("Thanks"), ToastRole::plain,
                                           ToastDuration(2)),
                     ToastAlignment::center());
        auto* t = content.find<QLabel>(QStringLiteral("ToastTitle"));
        auto* s = content.find<QLabel>(QStringLiteral("ToastSubtitle"));
        QVERIFY(t && s);
        QVERIFY(t->font().pointSizeF() > s->font().pointSizeF() || t->font().pixelSize() > s->font().pixelSize());
    }

    void customContentTakesTheToastTextStyle()
    {
        for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
            setColorSchemeOverride(scheme);
            const Toast toast = Toast::custom(ToastRole::failure, ToastDuration(2), [](QWidget* parent) {
                auto* row = new QWidget(parent);
                auto* layout = new QHBoxLayout(row);
                layout->addWidget(new QLabel(QStringLiteral("Plain"), row));
                auto* own = new QLabel(QStringLiteral("Own"), row);
                own->setObjectName(QStringLiteral("own"));
                own->setFont(platformFont(TextStyle::Caption));
                layout->addWidget(own);
                return row;
            });
            Host host(toast, ToastAlignment::top());
            QLabel* plain = nullptr;
            for (QLabel* label : host.root->findChildren<QLabel*>()) {
                if (label->text() == QLatin1String("Plain"))
                    plain = label;
            }
            QVERIFY(plain);
            // A label of the caller's own reads in the toast's text style...
            QCOMPARE(QFontInfo(plain->font()).pixelSize(), QFontInfo(platformFont(TextStyle::Title3)).pixelSize());
            QCOMPARE(plain->palette().color(QPalette::WindowText), SemanticColors::primary(scheme));
            // ...unless it sets its own.
            QCOMPARE(QFontInfo(host.find<QLabel>(QStringLiteral("own"))->font()).pixelSize(),
                QFontInfo(platformFont(TextStyle::Caption)).pixelSize());
        }
    }

    void cardReadsTheMessageAndAlertsWhenShown()
    {
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            accessibilityEvents.append({event->type(), event->object()});
        });
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::setActive(true);
        const QList<std::pair<Toast, QString>> toasts{
            {Toast::verbatim(QStringLiteral("Réglages enregistrés"), ToastRole::plain, ToastDuration(2)),
             QStringLiteral("Réglages enregistrés")},
            {labelToast(ToastRole::success), QStringLiteral("Copied to clipboard")},
            {Toast::labeledContent(QStringLiteral("Sent"), QStringLiteral("Thank you"), ToastRole::plain,
                 ToastDuration(2)),
             QStringLiteral("Sent, Thank you")},
        };
        for (const auto& [toast, message] : toasts) {
            accessibilityEvents.clear();
            Host host(toast, ToastAlignment::top());
            QAccessibleInterface* card = QAccessible::queryAccessibleInterface(host.card);
            QCOMPARE(card->role(), QAccessible::AlertMessage);
            QCOMPARE(card->text(QAccessible::Name), message);
            const QStringList names = spokenNames(card);
            for (const char* id : {"Toast", "ToastTitle", "ToastIcon", "ToastContent", "ToastSubtitle"})
                QVERIFY2(!names.contains(QLatin1String(id)), id);
            QTRY_VERIFY(accessibilityEvents.contains({QAccessible::Alert, host.card}));
        }
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    }

    void clickDismissesOnlyWhenEnabled()
    {
        for (bool interactive : {true, false}) {
            Host host(labelToast(ToastRole::plain), ToastAlignment::top(), interactive);
            auto* body = static_cast<PlainToastStyle::StyledViewBody*>(host.card);
            // Near the corner: the translucent part of the card counts too.
            QTest::mouseClick(body->background(), Qt::LeftButton, {}, QPoint(4, body->background()->height() / 2));
            QCOMPARE(host.dismissed, interactive ? 1 : 0);
        }
    }

    void hoverWidensBorderAndShadowAndReduceTransparencyDropsShadow()
    {
        Host host(labelToast(ToastRole::plain), ToastAlignment::top());
        auto* body = static_cast<PlainToastStyle::StyledViewBody*>(host.card);
        PlainToastBackground* background = body->background();
        // The shadow fades out whole inside the card's widget: its outermost
        // pixels show only what lies under it.
        const auto shadowEndsInside = [&host, body] {
            const QImage shot = host.root->grab().toImage();
            const QColor under = shot.pixelColor(1, 1);
            const QRect edge = body->geometry();
            for (int x = edge.left(); x <= edge.right(); ++x) {
                if (shot.pixelColor(x, edge.top()) != under || shot.pixelColor(x, edge.bottom()) != under)
                    return false;
            }
            for (int y = edge.top(); y <= edge.bottom(); ++y) {
                if (shot.pixelColor(edge.left(), y) != under || shot.pixelColor(edge.right(), y) != under)
                    return false;
            }
            return true;
        };
        QVERIFY(shadowEndsInside());
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(body, &enter);
        // Scale, border and shadow move together through the card's layer.
        m_clock->advanceBy(125);
        AnimationLayer* layer = AnimationLayer::of(body);
        const double midScale = layer->presentationTransform().m11;
        QVERIFY(midScale > 1.0 && midScale < 1.05);
        QVERIFY(background->borderWidth() > 2.0 && background->borderWidth() < 3.0);
        m_clock->advanceInFrames(300);
        QTRY_VERIFY(!layer->hasRunningAnimations());
        QVERIFY(layer->presentationTransform().m11 > midScale && background->borderWidth() > 2.5);
        QVERIFY(shadowEndsInside());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(body, &leave);
        m_clock->advanceInFrames(300);
        QTRY_VERIFY(!layer->hasRunningAnimations());
        QCOMPARE(background->borderWidth(), 2.0);
        QCOMPARE(layer->presentationTransform().m11, 1.0);
        QVERIFY(layer->surface()->isShowingLive());

        QVERIFY(background->shadowColor().alpha() > 0);
        QVERIFY(background->fillColor().alpha() < 255);
        AccessibilitySettings::instance()->setReduceTransparencyOverride(true);
        QCOMPARE(background->shadowColor().alpha(), 0);
        QCOMPARE(background->fillColor().alpha(), 255);
    }

    void buttonsAddedToTheContentLaterAreToastButtonsOnce()
    {
        QWidget* row = nullptr;
        const Toast toast = Toast::custom(ToastRole::plain, ToastDuration(0), [&row](QWidget* parent) {
            row = new QWidget(parent);
            new QHBoxLayout(row);
            return row;
        });
        Host host(toast, ToastAlignment::top(), /*interactive=*/false);
        QVERIFY(row);
        auto* layout = static_cast<QHBoxLayout*>(row->layout());
        // Added once the toast shows: made inside a box that is itself added
        // later, made apart then put in, and moved within the content.
        auto* box = new QWidget(row);
        auto* boxLayout = new QVBoxLayout(box);
        layout->addWidget(box);
        boxLayout->addWidget(new QPushButton(QStringLiteral("Undo"), box));
        layout->addWidget(new QPushButton(QStringLiteral("Open")));
        auto* moved = new QPushButton(QStringLiteral("Later"), row);
        layout->addWidget(moved);
        boxLayout->addWidget(moved);
        const QList<QAbstractButton*> buttons = row->findChildren<QAbstractButton*>();
        QCOMPARE(buttons.size(), 3);
        for (QAbstractButton* button : buttons)
            QTRY_VERIFY(button->isVisible() && button->height() >= button->sizeHint().height());
        int expected = 0;
        for (QAbstractButton* button : buttons) {
            QCOMPARE(button->findChildren<ToastButtonStyle*>(Qt::FindDirectChildrenOnly).size(), 1);
            QCOMPARE(button->palette().color(QPalette::ButtonText), SemanticColors::accent(colorScheme(button)));
            QCOMPARE(QFontInfo(button->font()).pixelSize(), QFontInfo(platformFont(TextStyle::Title3)).pixelSize());
            // One dismissal per click, with interactive dismissal off.
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(host.dismissed, ++expected);
        }
    }

    void aToastOnScreenFollowsASchemeSwitch_data()
    {
        QTest::addColumn<ColorScheme>("from");
        QTest::addColumn<ColorScheme>("to");
        QTest::newRow("to dark") << ColorScheme::Light << ColorScheme::Dark;
        QTest::newRow("to light") << ColorScheme::Dark << ColorScheme::Light;
    }

    void aToastOnScreenFollowsASchemeSwitch()
    {
        QFETCH(ColorScheme, from);
        QFETCH(ColorScheme, to);
        switchDesktopTo(from);
        Host loading(Toast::withProgressIndicator(QStringLiteral("Loading"), ToastRole::informational, {}),
            ToastAlignment::center());
        Host content(Toast::labeledContent(QStringLiteral("Sent"), QStringLiteral("Thanks"), ToastRole::plain, {}),
            ToastAlignment::top());
        Host buttons(Toast::custom(ToastRole::plain, {}, [](QWidget* parent) {
            auto* row = new QWidget(parent);
            auto* layout = new QHBoxLayout(row);
            layout->addWidget(new QLabel(QStringLiteral("Chart not loaded"), row));
            layout->addWidget(new QPushButton(QStringLiteral("Retry"), row));
            // Inside a toast the toast's style decides its colour.
            layout->addWidget(new ToastButton(QStringLiteral("Delete"), QStringLiteral("trash"),
                ToastButtonRole::destructive, [](const ScheduleToastAction&) {}, row));
            return row;
        }), ToastAlignment::top());

        QWidget window;
        window.resize(420, 200);
        window.show();
        ToastPresentation sent;
        sent.toast = Toast::withSymbol(QStringLiteral("Email is sent"), QStringLiteral("checkmark.circle.fill"),
            ToastRole::success, ToastDuration(0));
        toastScheduler(&window).enqueue(sent);
        const auto title = [&window] { return window.findChild<QLabel*>(QStringLiteral("ToastContent")); };
        QTRY_VERIFY(title() && title()->isVisible());

        switchDesktopTo(to);
        const auto textColour = [](QWidget* label) { return label->palette().color(QPalette::WindowText); };
        QTRY_COMPARE(textColour(title()), SemanticColors::primary(to));
        QVERIFY(near(strongestColour(window.findChild<QLabel*>(QStringLiteral("ToastIcon"))), SemanticColors::green(to)));
        auto* card = static_cast<PlainToastStyle::StyledViewBody*>(window.findChild<QWidget*>(QStringLiteral("Toast")));
        QCOMPARE(card->background()->accentColor(), SemanticColors::green(to));
        QVERIFY(near(strongestColour(loading.find(QStringLiteral("ToastIcon"))), SemanticColors::blue(to)));
        QCOMPARE(textColour(content.find(QStringLiteral("ToastTitle"))), SemanticColors::primary(to));
        QCOMPARE(textColour(content.find(QStringLiteral("ToastSubtitle"))), SemanticColors::secondary(to));
        QCOMPARE(textColour(buttons.find<QLabel>(QString())), SemanticColors::primary(to));
        for (QPushButton* button : buttons.root->findChildren<QPushButton*>()) {
            QCOMPARE(button->palette().color(QPalette::ButtonText), SemanticColors::accent(to));
            button->setEnabled(false);
            QCOMPARE(button->palette().color(QPalette::ButtonText).rgb(), SemanticColors::secondary(to).rgb());
        }
    }

    void buttonInToastDimsWhenPressedAndDismisses()
    {
        int clicked = 0;
        const QColor iconColour(255, 0, 0);
        const Toast toast
            = Toast::custom(ToastRole::plain, ToastDuration(2), [&clicked, iconColour](QWidget* parent) {
                  QPixmap solid(16, 16);
                  solid.fill(iconColour);
                  auto* button = new QPushButton(QIcon(solid), QStringLiteral("Undo"), parent);
                  QObject::connect(button, &QPushButton::clicked, [&clicked] { ++clicked; });
                  return button;
              });
        Host host(toast, ToastAlignment::top(), /*interactive=*/false);
        auto* button = host.find<QPushButton>(QString());
        auto* style = button ? button->findChild<ToastButtonStyle*>() : nullptr;
        QVERIFY(style);
        QVERIFY(style->labelColor(false).alphaF() < style->labelColor(true).alphaF());
        const auto showsIconAtFullColour = [&host, iconColour] {
            const QImage shot = host.root->grab().toImage();
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    if (shot.pixelColor(x, y) == iconColour)
                        return true;
                }
            }
            return false;
        };
        QVERIFY(showsIconAtFullColour());
        // Pressing dims the whole label, its icon as well as its text, to 0.7
        // and shrinks it to 0.9.
        QTest::mousePress(button, Qt::LeftButton);
        QCOMPARE(AnimationLayer::of(button)->presentationOpacity(), 0.7);
        QCOMPARE(AnimationLayer::of(button)->presentationTransform().m11, 0.9);
        QCOMPARE(AnimationLayer::of(button)->presentationTransform().m22, 0.9);
        QVERIFY(!showsIconAtFullColour());
        // Its text stays in the toast's text style whatever its state.
        const int textSize = QFontInfo(platformFont(TextStyle::Title3)).pixelSize();
        QCOMPARE(QFontInfo(button->font()).pixelSize(), textSize);
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(AnimationLayer::of(button)->presentationTransform().m11, 1.0);
        QCOMPARE(AnimationLayer::of(button)->presentationOpacity(), 1.0);
        QVERIFY(showsIconAtFullColour());
        QCOMPARE(clicked, 1);
        QCOMPARE(host.dismissed, 1); // even with interactive dismissal off
        button->setEnabled(false);
        QCOMPARE(QFontInfo(button->font()).pixelSize(), textSize);
        QCOMPARE(button->palette().color(QPalette::ButtonText), style->labelColor(false));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(host.dismissed, 1);
    }
};

QTEST_MAIN(ToastPlainStyleTest)
#include "ToastPlainStyleTest.moc"
