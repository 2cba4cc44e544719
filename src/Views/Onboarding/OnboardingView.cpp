#include "Views/Onboarding/OnboardingView.h"

#include "platform/CenteredColumnLayout.h"
#include "platform/FocusRing.h"
#include "platform/LineLimitLabel.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <functional>

namespace {
constexpr int kSheetMinimumWidth = 560;
constexpr int kSheetMinimumHeight = 640;
constexpr int kSheetWidth = 680;
constexpr int kSheetHeight = 760;
constexpr int kStackSpacing = 8;
constexpr int kIconWidth = 40;
constexpr int kStarSize = 22;
// The room round the feature list for its focus ring: the ring lies 2 to 4
// px outside the list, clear of the rows and the scroll bar inside it.
constexpr int kFocusRingOutset = 4;
constexpr int kFocusRingRoom = kFocusRingOutset + 2;

QColor faded(QColor color, float opacity)
{
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

// "Continue": drawn as a plain rounded slab that does not react to presses,
// but a real button, so that it takes the keyboard focus and answers Return,
// Enter and Space: it is the only way out of the sheet.
class ContinueButton final : public QPushButton {
public:
    explicit ContinueButton(const QString& text, QWidget* parent = nullptr)
        : QPushButton(text, parent)
    {
        setObjectName(QStringLiteral("continueButton"));
        setFlat(true);
        setAutoDefault(true);
        setDefault(true);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setFixedHeight(54);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFont(platformFont(TextStyle::Body, QFont::Bold));
    }

    void setFillColor(const QColor& color)
    {
        m_fill = color;
        update();
    }
    QColor fillColor() const { return m_fill; }

    std::function<void()> onHidden;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 12, 12);
        painter.fillPath(shape, m_fill);
        painter.setPen(Qt::white);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

    void hideEvent(QHideEvent* event) override
    {
        QPushButton::hideEvent(event);
        if (onHidden)
            onHidden();
    }

private:
    QColor m_fill;
};

LineLimitLabel* makeLabel(const QString& text, const QFont& font, const QString& name,
                          QWidget* parent)
{
    auto* label = new LineLimitLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    return label;
}

} // namespace

// The sheet and its page. It will not be closed by Escape or by the window's
// close control; only finish() closes it.
class OnboardingSheet final : public QDialog {
public:
    OnboardingSheet(OnboardingView* owner, std::function<void()> onContinue);

    void finish()
    {
        m_finishing = true;
        accept();
    }

    void applyScheme();
    bool isCompact() const { return width() < OnboardingView::kCompactWidthBelow; }
    ContinueButton* continueButton() const { return m_continue; }

    void reject() override
    {
        if (m_finishing)
            QDialog::reject();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_finishing)
            QDialog::closeEvent(event);
        else
            event->ignore();
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QDialog::resizeEvent(event);
        applySizeClass();
    }

private:
    struct Row {
        QLabel* icon = nullptr;
        QString iconName;
        LineLimitLabel* title = nullptr;
        LineLimitLabel* description = nullptr;
    };

    QWidget* buildHeader();
    QWidget* buildFeatureList();
    QWidget* buildFeatureRow(const Feature& feature, QWidget* parent);
    QWidget* buildContinue(std::function<void()> onContinue);
    void applySizeClass();
    QColor accent(ColorScheme scheme) const;

    QPointer<OnboardingView> m_owner;
    bool m_finishing = false;
    LineLimitLabel* m_greeting = nullptr;
    QList<QLabel*> m_stars;
    LineLimitLabel* m_subtitle = nullptr;
    QList<Row> m_rows;
    CenteredColumnLayout* m_listColumn = nullptr;
    CenteredColumnLayout* m_continueColumn = nullptr;
    ContinueButton* m_continue = nullptr;
};

OnboardingSheet::OnboardingSheet(OnboardingView* owner, std::function<void()> onContinue)
    : QDialog(owner, Qt::Sheet | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_owner(owner)
{
    setObjectName(QStringLiteral("onboardingSheet"));
    setWindowModality(Qt::WindowModal);
    setSizeGripEnabled(false);
    setMinimumSize(kSheetMinimumWidth, kSheetMinimumHeight);
    setAutoFillBackground(true);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 10);
    root->setSpacing(0);

    m_greeting = makeLabel(tr("Welcome to %1").arg(owner->appName()),
                           platformFont(TextStyle::LargeTitle, QFont::Bold),
                           QStringLiteral("greetingLabel"), this);
    m_greeting->setAlignment(Qt::AlignHCenter);
    auto* greetingBox = new QVBoxLayout;
    greetingBox->setContentsMargins(20, 20, 20, 20);
    greetingBox->addWidget(m_greeting);
    root->addLayout(greetingBox);

    root->addSpacing(kStackSpacing);
    root->addWidget(buildHeader());
    // The list's ring room comes out of the spacing round it, so the list
    // stays where it was.
    root->addSpacing(kStackSpacing - kFocusRingRoom);
    root->addWidget(buildFeatureList(), 1);
    // The list's own bottom padding, then the spacing around the flexible
    // space that the list, being greedy, leaves empty.
    root->addSpacing(10 + 2 * kStackSpacing - kFocusRingRoom);
    root->addWidget(buildContinue(std::move(onContinue)));

    resize(kSheetWidth, kSheetHeight);
    applySizeClass();
    applyScheme();
}

QWidget* OnboardingSheet::buildHeader()
{
    auto* header = new QWidget(this);
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 30);
    layout->setSpacing(8);

    auto* stars = new QHBoxLayout;
    stars->setSpacing(4);
    stars->addStretch(1);
    for (int i = 0; i < 5; ++i) {
        auto* star = new QLabel(header);
        star->setObjectName(QStringLiteral("star"));
        star->setFixedSize(kStarSize, kStarSize);
        stars->addWidget(star);
        m_stars.append(star);
    }
    stars->addStretch(1);
    layout->addLayout(stars);

    m_subtitle = makeLabel(tr("Powered by Apple Intelligence"), systemFont(16, QFont::DemiBold),
                           QStringLiteral("subtitleLabel"), header);
    m_subtitle->setAlignment(Qt::AlignHCenter);
    auto* subtitleBox = new QVBoxLayout;
    subtitleBox->setContentsMargins(20, 4, 20, 0);
    subtitleBox->addWidget(m_subtitle);
    layout->addLayout(subtitleBox);
    return header;
}

QWidget* OnboardingSheet::buildFeatureList()
{
    auto* frame = new QWidget(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(kFocusRingRoom, kFocusRingRoom, kFocusRingRoom, kFocusRingRoom);
    auto* scroll = new QScrollArea(frame);
    frameLayout->addWidget(scroll);
    scroll->setObjectName(QStringLiteral("featureList"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Reached by Tab for keyboard scrolling, but never holds the first focus.
    // Its ring goes round it, outside: inside, it would cross the rows
    // scrolled under it.
    scroll->setFocusPolicy(Qt::TabFocus);
    showFocusRing(scroll, 10, kFocusRingOutset);
    scroll->viewport()->setAutoFillBackground(false);

    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    m_listColumn = new CenteredColumnLayout(content);
    m_listColumn->setContentsMargins(0, 0, 0, 0);

    auto* column = new QWidget(content);
    column->setObjectName(QStringLiteral("featureColumn"));
    auto* rows = new QVBoxLayout(column);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    if (m_owner) {
        for (const Feature& feature : m_owner->features())
            rows->addWidget(buildFeatureRow(feature, column));
    }
    rows->addStretch(1);
    m_listColumn->addWidget(column);

    scroll->setWidget(content);
    return frame;
}

QWidget* OnboardingSheet::buildFeatureRow(const Feature& feature, QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("featureRow"));
    row->setProperty("featureId", feature.id);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(20, 0, 20, 20);
    layout->setSpacing(kStackSpacing);

    Row parts;
    if (feature.icon) {
        auto* iconBox = new QWidget(row);
        auto* iconLayout = new QVBoxLayout(iconBox);
        iconLayout->setContentsMargins(0, 10, 15, 10);
        parts.icon = new QLabel(iconBox);
        parts.icon->setObjectName(QStringLiteral("featureIcon"));
        parts.icon->setFixedSize(kIconWidth, kIconWidth);
        parts.iconName = *feature.icon;
        iconLayout->addWidget(parts.icon);
        layout->addWidget(iconBox, 0, Qt::AlignVCenter);
    }

    auto* text = new QWidget(row);
    auto* textLayout = new QVBoxLayout(text);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->setSpacing(4);
    parts.title = makeLabel(feature.title, systemFont(16, QFont::Bold),
                            QStringLiteral("featureTitle"), text);
    parts.description = makeLabel(feature.description, systemFont(15),
                                  QStringLiteral("featureDescription"), text);
    parts.description->setMaximumLineCount(3);
    textLayout->addWidget(parts.title);
    textLayout->addWidget(parts.description);
    layout->addWidget(text, 1, Qt::AlignVCenter);

    m_rows.append(parts);
    return row;
}

QWidget* OnboardingSheet::buildContinue(std::function<void()> onContinue)
{
    auto* area = new QWidget(this);
    m_continueColumn = new CenteredColumnLayout(area);
    m_continueColumn->setContentsMargins(0, 0, 0, 0);

    auto* padded = new QWidget(area);
    auto* layout = new QHBoxLayout(padded);
    layout->setContentsMargins(15, 0, 15, 0);
    m_continue = new ContinueButton(tr("Continue"), padded);
    layout->addWidget(m_continue);
    m_continueColumn->addWidget(padded);

    // The ring goes round the slab, outside it, where the sheet has room.
    showFocusRing(m_continue, 15, 3, this);
    connect(m_continue, &QPushButton::clicked, this, [onContinue = std::move(onContinue)] {
        onContinue();
    });
    return area;
}

QColor OnboardingSheet::accent(ColorScheme scheme) const
{
    const QColor chosen = m_owner ? m_owner->color() : QColor();
    return chosen.isValid() ? chosen : SemanticColors::blue(scheme);
}

void OnboardingSheet::applySizeClass()
{
    const int limit = isCompact() ? QWIDGETSIZE_MAX : OnboardingView::kMaximumContentWidth;
    if (m_listColumn)
        m_listColumn->setMaximumColumnWidth(limit);
    if (m_continueColumn)
        m_continueColumn->setMaximumColumnWidth(limit);
}

void OnboardingSheet::applyScheme()
{
    // The owner's palette decides: the sheet's own is what this paints.
    const ColorScheme scheme = colorScheme(m_owner ? static_cast<QWidget*>(m_owner) : this);
    const bool dark = scheme == ColorScheme::Dark;
    const QColor background = dark ? SemanticColors::windowBackground(scheme) : QColor(Qt::white);
    const QColor heading = dark ? QColor(Qt::white) : QColor(Qt::black);

    // A whole palette, so that the list's scroll bar follows the scheme too.
    QPalette sheetPalette(dark ? background.lighter(150) : SemanticColors::windowBackground(scheme),
                          background);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        sheetPalette.setColor(role, heading);
    setPalette(sheetPalette);

    const qreal ratio = devicePixelRatioF();
    m_greeting->setTextColor(heading);
    const QPixmap star = symbolPixmap(QStringLiteral("star.fill"), SemanticColors::yellow(scheme),
                                      kStarSize, ratio);
    for (QLabel* label : std::as_const(m_stars))
        label->setPixmap(star);
    m_subtitle->setTextColor(faded(accent(scheme), 0.9f));

    for (const Row& row : std::as_const(m_rows)) {
        if (row.icon)
            row.icon->setPixmap(symbolPixmap(row.iconName, accent(scheme), kIconWidth, ratio));
        row.title->setTextColor(heading);
        row.description->setTextColor(SemanticColors::secondary(scheme));
    }
    m_continue->setFillColor(faded(accent(scheme), 0.9f));
}

QList<Feature> defaultOnboardingFeatures()
{
    return {
        Feature(QStringLiteral("AI-Powered Review Analysis"),
                QStringLiteral("Get instant insights from app reviews using advanced AI to "
                               "understand user sentiment and feedback"),
                QStringLiteral("sparkles")),
        Feature(QStringLiteral("Multi-Country Ratings"),
                QStringLiteral("View ratings and reviews across all storefronts to understand "
                               "your global app performance"),
                QStringLiteral("globe")),
        Feature(QStringLiteral("Chart Rankings"),
                QStringLiteral("Track your app's position in charts across different categories "
                               "and countries"),
                QStringLiteral("chart.bar.fill")),
        Feature(QStringLiteral("Monetization Insights"),
                QStringLiteral("Analyze in-app purchases and monetization strategies to optimize "
                               "revenue"),
                QStringLiteral("dollarsign.circle.fill")),
        Feature(QStringLiteral("iCloud Sync"),
                QStringLiteral("Access your saved apps and analyses seamlessly across iPhone, "
                               "iPad, and Mac"),
                QStringLiteral("icloud")),
    };
}

OnboardingView::OnboardingView(QList<Feature> features, Binding<bool> isFirstTime, QColor color, QWidget* parent)
    : QWidget(parent), m_features(std::move(features)), m_isFirstTime(std::move(isFirstTime)), m_color(color)
{
    setObjectName(QStringLiteral("onboardingView"));
    connect(ColorSchemeNotifier::instance(), &ColorSchemeNotifier::schemeOverrideChanged, this,
            [this] {
                if (m_sheet)
                    m_sheet->applyScheme();
            });
}

OnboardingView::~OnboardingView()
{
    // Gone before this object is, so that nothing the sheet does on its way
    // out (hiding "Continue") reaches a half-destroyed view.
    delete m_sheet;
}

QDialog* OnboardingView::sheet() const
{
    return m_sheet;
}

bool OnboardingView::isCompact() const
{
    return m_sheet && m_sheet->isCompact();
}

void OnboardingView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Presented once the window is up, so that the sheet has a window to sit on.
    QMetaObject::invokeMethod(this, &OnboardingView::presentIfFirstTime, Qt::QueuedConnection);
}

void OnboardingView::presentIfFirstTime()
{
    if (!isVisible() || m_showingOnboarding)
        return;
    if (!m_isFirstTime.get())
        return;

    if (!m_sheet) {
        m_sheet = new OnboardingSheet(this, [this] { continueOnboarding(); });
        m_sheet->continueButton()->onHidden = [this] { m_closingOnboarding = true; };
    }
    setShowingOnboarding(true);
    m_sheet->open();
    m_sheet->continueButton()->setFocus(Qt::OtherFocusReason);
}

void OnboardingView::continueOnboarding()
{
    const QPointer<OnboardingView> guard(this);
    m_isFirstTime.set(false);
    // Whoever follows the setting may already have replaced this view.
    if (!guard)
        return;
    setShowingOnboarding(false);
    if (m_sheet)
        m_sheet->finish();
}

void OnboardingView::setShowingOnboarding(bool showing)
{
    if (showing == m_showingOnboarding)
        return;
    m_showingOnboarding = showing;
    emit showingOnboardingChanged(showing);
}
