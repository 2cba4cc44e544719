#pragma once

#include "models/AppInfo.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AppRankMonitorViewModel;
class CountryCard;
class CountryPickerSheet;
class ProgressIndicator;
class QBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;
class RemoteImageView;
class ShrinkingLabel;
class ViewTask;

// The "Rank Monitor" page of one app: its positions in the free, paid and
// grossing charts of every selected country, over all apps and within its
// category, filled in country by country as the checks finish.
class AppRanksView : public QWidget {
    Q_OBJECT
public:
    // `viewModel` is not owned; the window makes a new page and view model for
    // every app.
    explicit AppRanksView(AppRankMonitorViewModel* viewModel, QWidget* parent = nullptr);
    ~AppRanksView() override;

    void setApp(const AppInfo& app);
    const AppInfo& app() const { return m_app; }

    // Opens the country picker on a copy of the selection.
    void selectCountries();
    // The open picker, if any.
    CountryPickerSheet* countryPicker() const;

    bool isShowingFullProgress() const;
    bool isHeaderStacked() const { return m_stacked; }
    // The cards on show, one per result, in order.
    QList<CountryCard*> cards() const { return m_cards.mid(0, m_shownCards); }

    AppRankMonitorViewModel* viewModel() const { return m_viewModel; }
    QPushButton* countriesButton() const { return m_countries; }
    QPushButton* reloadButton() const { return m_reload; }
    ProgressIndicator* fullProgress() const { return m_fullProgress; }
    ProgressIndicator* progressLine() const { return m_progressLine; }
    QLabel* lastUpdatedLabel() const { return m_lastUpdated; }
    RemoteImageView* iconView() const { return m_icon; }
    QScrollArea* scrollArea() const { return m_scroll; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildLayout();
    void applyColors();
    void syncResults();
    void syncState();
    void syncHeaderLayout();

    QPointer<AppRankMonitorViewModel> m_viewModel;
    AppInfo m_app;
    QPointer<CountryPickerSheet> m_picker;
    QList<CountryCard*> m_cards;
    int m_shownCards = 0;
    bool m_stacked = false;

    QWidget* m_header = nullptr;
    QBoxLayout* m_headerLayout = nullptr;
    QWidget* m_identity = nullptr;
    QWidget* m_actions = nullptr;
    RemoteImageView* m_icon = nullptr;
    ShrinkingLabel* m_name = nullptr;
    QLabel* m_subtitle = nullptr;
    QPushButton* m_countries = nullptr;
    QPushButton* m_reload = nullptr;
    QLabel* m_legend = nullptr;
    QStackedWidget* m_content = nullptr;
    ProgressIndicator* m_fullProgress = nullptr;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_cardColumn = nullptr;
    ProgressIndicator* m_progressLine = nullptr;
    QWidget* m_lastUpdatedRow = nullptr;
    QLabel* m_clock = nullptr;
    QLabel* m_lastUpdated = nullptr;
    ViewTask* m_loadTask = nullptr;
};
