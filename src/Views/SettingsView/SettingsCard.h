#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// One section of the settings page: an upper-case header over a rounded card
// that holds the section's content, leading-aligned and widened to the full
// width.
class SettingsCard : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPadding = 20;
    static constexpr int kSpacing = 12;

    SettingsCard(const QString& title, qreal cornerRadius, QWidget* parent = nullptr);

    // Takes ownership and adds the widget to the card. Content that keeps
    // `bleed` pixels of room at its edges (for a focus ring) reaches that far
    // into the padding, so that what it shows keeps the card's padding.
    void addContent(QWidget* content, int bleed = 0);
    QString title() const;
    QWidget* card() const { return m_card; }

    // Opacity of the card outline in a scheme.
    static qreal outlineOpacity(bool dark) { return dark ? 0.55 : 0.25; }

private:
    QLabel* m_header;
    QWidget* m_card;
    QVBoxLayout* m_cardLayout;
};
