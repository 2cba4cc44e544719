#pragma once

#include "models/AppRankCountryResult.h"
#include "platform/SemanticColors.h"

#include <QColor>
#include <QWidget>

// The positions of an app in one country: flag, name and code over a grid of
// the three charts, over all apps and within the app's category. Drawn in one
// piece: a page holds one card per checked country.
class CountryCard : public QWidget {
    Q_OBJECT
public:
    CountryCard(const AppRankCountryResult& result, const QString& categoryName, QWidget* parent = nullptr);

    const AppRankCountryResult& result() const { return m_result; }
    void setResult(const AppRankCountryResult& result);

    // What the card shows, for tests and accessibility.
    QString flagText() const;
    QString nameText() const;
    // Row 0 is the heading ("Chart", "All", category); columns 0 to 2.
    QString cellText(int row, int column) const;
    // The medal colour of a position cell in the card's colour scheme;
    // invalid without a medal.
    QColor medalColor(int row, int column) const;
    int rowCount() const { return static_cast<int>(m_result.rows.size()) + 1; }

    static QString feedLabel(ChartFeed::Feed feed);
    static QString lookupText(const AppRankLookup& lookup);
    // Yellow, gray and orange of the scheme for positions 1 to 3; invalid otherwise.
    static QColor medalColorFor(const AppRankLookup& lookup, ColorScheme scheme);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int contentHeight() const;

    AppRankCountryResult m_result;
    QString m_categoryName;
};
