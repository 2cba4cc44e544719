#include "Services/Charts/AppRankCache.h"
#include "Views/RankMonitor/AppRanksView.h"
#include "Views/RankMonitor/CountryCard.h"
#include "Views/RankMonitor/CountryPickerSheet.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "models/SettingsKeys.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"
#include "platform/UserDefaults.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "Views/RankMonitor/CountryListModel.h"
#include "platform/ShrinkingLabel.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
constexpr qint64 kAppID = 1459969523;
const QString kSelectedKey = QString::fromLatin1(kAppRankMonitorSelectedCountriesKey);

UserDefaults* settings()
{
    return UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
}

// A current-feed chart of `length` entries holding the app at `position`
// (1-based), or not at all with 0.
QByteArray chartWithApp(int position, int length, const QUrl& base)
{
    QList<ScreenFixtures::ChartEntry> entries = ScreenFixtures::numberedEntries(length);
    if (position > 0)
        entries[position - 1].id = QString::number(kAppID);
    return ScreenFixtures::currentChart(entries, base);
}
} // namespace

class AppRanksViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        AppRankCache::shared().clear();
        settings()->remove(kSelectedKey);
        m_delayMs = 0;
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        // GB holds the app first and second, US third and 42nd; DE answers
        // nothing; every category chart and the grossing charts lack the app.
        m_server->setHandler([this](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            const QString path = request.path;
            if (path.startsWith(QLatin1String("/icons/")))
                return ScreenFixtures::pngResponse(QColor(220, 120, 40));
            if (path.contains(QLatin1String("/de/")))
                return FixtureResponse::withStatus(500).delayed(m_delayMs);
            if (!path.startsWith(QLatin1String("/api/v2/")))
                return FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json")).delayed(m_delayMs);
            const bool free = path.contains(QLatin1String("top-free"));
            const int position = path.contains(QLatin1String("/gb/")) ? (free ? 1 : 2)
                : path.contains(QLatin1String("/us/"))                ? (free ? 3 : 42)
                                                                      : 0;
            return FixtureResponse::json(chartWithApp(position, 50, m_server->baseUrl())).delayed(m_delayMs);
        });
    }

    void cleanup()
    {
        ScreenFixtures::resetScheme();
        m_server.reset();
    }

    void cardsShowPositionsMedalsAndGaps()
    {
        settings()->setValue(kSelectedKey, QStringList{"US", "GB", "DE"});
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        QCOMPARE(view->countriesButton()->text(), QStringLiteral("3 Countries"));
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(view->cards().size(), 3);
        // Cards follow the selection's English-name order.
        CountryCard* germany = view->cards().at(0);
        CountryCard* britain = view->cards().at(1);
        CountryCard* states = view->cards().at(2);
        QCOMPARE(germany->nameText(), QStringLiteral("Germany"));
        QCOMPARE(britain->nameText(), QStringLiteral("United Kingdom"));

        // Medals on 1 to 3 only, in yellow, gray and orange.
        QCOMPARE(britain->cellText(1, 1), QStringLiteral("#1"));
        QCOMPARE(britain->medalColor(1, 1), SemanticColors::yellow(ColorScheme::Light));
        QCOMPARE(britain->cellText(2, 1), QStringLiteral("#2"));
        QCOMPARE(britain->medalColor(2, 1), SemanticColors::gray(ColorScheme::Light));
        QCOMPARE(states->cellText(1, 1), QStringLiteral("#3"));
        QCOMPARE(states->medalColor(1, 1), SemanticColors::orange(ColorScheme::Light));
        QCOMPARE(states->cellText(2, 1), QStringLiteral("#42"));
        QVERIFY(!states->medalColor(2, 1).isValid());
        // Read but without the app, and not read at all.
        QCOMPARE(states->cellText(3, 1), QStringLiteral(">50"));
        QCOMPARE(states->cellText(1, 2), QStringLiteral(">50"));
        QCOMPARE(germany->cellText(1, 1), QStringLiteral("N/A"));
        QCOMPARE(germany->cellText(3, 2), QStringLiteral("N/A"));
        // Medals take the dark scheme's colours in dark.
        ScreenFixtures::applyScheme(ColorScheme::Dark);
        QCOMPARE(britain->medalColor(1, 1), SemanticColors::yellow(ColorScheme::Dark));
        QVERIFY(view->lastUpdatedLabel()->isVisible() && !view->lastUpdatedLabel()->text().isEmpty());
        QVERIFY(!view->progressLine()->isVisible());
    }

    void countriesAppearOneByOne()
    {
        settings()->setValue(kSelectedKey, QStringList{"US", "GB", "FR"});
        // Long enough apart that polling sees every step, one card at a time.
        m_delayMs = 200;
        const auto viewModel = makeViewModel(QString());
        const auto view = makeView(viewModel.get());
        QList<int> cardCounts;
        connect(viewModel.get(), &AppRankMonitorViewModel::resultsChanged, this,
                [&] { cardCounts.append(static_cast<int>(view->cards().size())); });
        view->show();
        QVERIFY(view->isShowingFullProgress());
        QVERIFY(view->fullProgress()->isVisible());
        QCOMPARE(view->fullProgress()->label(), QStringLiteral("Checking countries 0/3\u2026"));
        QVERIFY(!view->reloadButton()->isEnabled());

        QTRY_COMPARE(view->cards().size(), 1);
        QVERIFY(!view->isShowingFullProgress());
        QVERIFY(view->scrollArea()->isVisible());
        QVERIFY(view->progressLine()->isVisible());
        QCOMPARE(view->progressLine()->label(), QStringLiteral("Checking countries 1/3\u2026"));
        QVERIFY(!view->lastUpdatedLabel()->isVisible());
        QVERIFY(!view->reloadButton()->isEnabled());

        QTRY_VERIFY(!viewModel->isLoading());
        QVERIFY(view->reloadButton()->isEnabled());
        // One card per arrival, none rebuilt: the count grew by one each time.
        QCOMPARE(cardCounts.mid(cardCounts.indexOf(1)), (QList<int>{1, 2, 3}));
    }

    void reloadIsForcedAndCountsOneCountry()
    {
        const auto viewModel = makeViewModel(QString());
        const auto view = makeView(viewModel.get());
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());
        const qsizetype first = m_server->requests().size();
        CountryCard* before = view->cards().first();
        // An app without a category has no category charts to look in.
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(before->cellText(row, 2), QStringLiteral("N/A"));

        // Shown again: answered from the cache.
        view->hide();
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(m_server->requests().size(), first);

        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        QVERIFY(viewModel->isLoading());
        QTRY_VERIFY(!viewModel->isLoading());
        QVERIFY(m_server->requests().size() > first);
        QCOMPARE(view->cards().size(), 1);
        // The card was refilled, not rebuilt.
        QCOMPARE(view->cards().first(), before);
    }

    // The clock line shows once a load has ended, never while one runs: not
    // under the first cards of a reload, though the last time is still held.
    void lastUpdatedLineOnlyBetweenLoads()
    {
        settings()->setValue(kSelectedKey, QStringList{"US", "GB", "FR"});
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());
        QVERIFY(view->lastUpdatedLabel()->isVisible());
        const QString first = view->lastUpdatedLabel()->text();
        QVERIFY(!first.isEmpty());

        // What shows at every step of the reload, taken after the page has
        // followed the view model's change.
        QList<bool> shownWhileLoading;
        const auto look = [&] {
            if (viewModel->isLoading() && viewModel->lastUpdated().isValid())
                shownWhileLoading.append(view->lastUpdatedLabel()->isVisible());
        };
        connect(viewModel.get(), &AppRankMonitorViewModel::resultsChanged, this, look);
        connect(viewModel.get(), &AppRankMonitorViewModel::isLoadingChanged, this, look);
        connect(viewModel.get(), &AppRankMonitorViewModel::progressTextChanged, this, look);
        m_delayMs = 30;
        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        QTRY_VERIFY(!viewModel->isLoading());
        QVERIFY(shownWhileLoading.size() >= 3); // one look per country at least
        QCOMPARE(shownWhileLoading, QList<bool>(shownWhileLoading.size(), false));
        QVERIFY(view->lastUpdatedLabel()->isVisible());
        QVERIFY(!view->progressLine()->isVisible());
    }

    void pickerFiltersAndOrders_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("codes");
        const QStringList us{"AU", "AT", "BY", "CY", "MU", "RU", "US"};
        QTest::newRow("lower case") << "us" << us;
        QTest::newRow("upper case, trailing space") << "US " << us;
        QTest::newRow("accents are not ignored") << "cote" << QStringList{};
        QTest::newRow("code only") << "gb" << QStringList{"GB"};
    }

    void pickerFiltersAndOrders()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, codes);
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        view->show();
        QTest::mouseClick(view->countriesButton(), Qt::LeftButton);
        CountryPickerSheet* sheet = view->countryPicker();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        auto* filter = qobject_cast<QSortFilterProxyModel*>(sheet->listView()->model());
        QAbstractItemModelTester sourceTester(filter->sourceModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester filterTester(filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(!sheet->clearButton()->isVisible());
        const QStringList all = sheet->listedCodes();
        QVERIFY(all.indexOf(QStringLiteral("AT")) > all.indexOf(QStringLiteral("AU")));

        // The clear button appearing moves neither the bar nor the list.
        const QRect bar = sheet->searchField()->parentWidget()->geometry();
        const QRect list = sheet->listView()->geometry();
        QTest::keyClicks(sheet->searchField(), query);
        QCOMPARE(sheet->listedCodes(), codes);
        QVERIFY(sheet->clearButton()->isVisible());
        QCOMPARE(sheet->searchField()->parentWidget()->geometry(), bar);
        QCOMPARE(sheet->listView()->geometry(), list);
        sheet->toggleCountry(QStringLiteral("GB"));
        QTest::mouseClick(sheet->clearButton(), Qt::LeftButton);
        QCOMPARE(sheet->searchText(), QString());
        QCOMPARE(sheet->listedCodes().size(), 167);
        sheet->reject();
    }

    void pickerCancelDiscardsAndDoneApplies()
    {
        const auto viewModel = makeViewModel(QString());
        const auto view = makeView(viewModel.get());
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());

        view->selectCountries();
        CountryPickerSheet* sheet = view->countryPicker();
        QTRY_VERIFY(sheet && sheet->isVisible());
        QCOMPARE(sheet->title(), QStringLiteral("Select Countries"));
        QCOMPARE(sheet->draftCountryCodes(), QSet<QString>{QStringLiteral("US")});
        QVERIFY(sheet->isDoneEnabled());
        // A click anywhere on a row toggles it: here, right of the name.
        sheet->setSearchText(QStringLiteral("united states"));
        QListView* list = sheet->listView();
        const QRect row = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.center().x(), row.center().y()));
        QVERIFY(sheet->draftCountryCodes().isEmpty());
        QVERIFY(!sheet->isDoneEnabled());
        // Return does not confirm an empty selection either.
        QTest::keyClick(sheet, Qt::Key_Return);
        QVERIFY(sheet->isVisible());
        sheet->toggleCountry(QStringLiteral("GB"));
        QVERIFY(sheet->isDoneEnabled());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!view->countryPicker());
        QCOMPARE(viewModel->selectedCountryCodes(), QStringList{"US"});
        QVERIFY(!settings()->contains(kSelectedKey));

        // Opening again starts from the monitored set, not the abandoned edits.
        view->selectCountries();
        sheet = view->countryPicker();
        QTRY_VERIFY(sheet && sheet->isVisible());
        QCOMPARE(sheet->draftCountryCodes(), QSet<QString>{QStringLiteral("US")});
        QCOMPARE(sheet->searchText(), QString());
        sheet->toggleCountry(QStringLiteral("GB"));
        QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
        QTRY_VERIFY(!view->countryPicker());
        QCOMPARE(viewModel->selectedCountryCodes(), (QStringList{"GB", "US"}));
        QCOMPARE(settings()->stringList(kSelectedKey), (QStringList{"GB", "US"}));
        QCOMPARE(view->countriesButton()->text(), QStringLiteral("2 Countries"));
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(view->cards().size(), 2);
    }

    void pickerByKeyboardAlone()
    {
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        view->show();
        view->selectCountries();
        CountryPickerSheet* sheet = view->countryPicker();
        QTRY_VERIFY(sheet && sheet->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        // Typing filters at once; Tab reaches the rows with the first match
        // current, and Space marks it without touching the filter.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ger"));
        QCOMPARE(sheet->searchText(), QStringLiteral("ger"));
        const QStringList matches = sheet->listedCodes(); // Algeria, Germany, Niger, Nigeria
        QCOMPARE(matches.size(), 4);
        QListView* list = sheet->listView();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        QCOMPARE(list->currentIndex().row(), 0);
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(sheet->draftCountryCodes().contains(matches.at(0)));
        QCOMPARE(sheet->searchText(), QStringLiteral("ger"));

        // Down from the field as well; Return marks the row in focus and
        // does not confirm the sheet.
        QTest::keyClick(list, Qt::Key_Backtab);
        QVERIFY(sheet->searchField()->hasFocus());
        QTest::keyClick(sheet->searchField(), Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(sheet->draftCountryCodes().contains(matches.at(1)));
        QVERIFY(sheet->isVisible());
        QVERIFY(ScreenFixtures::saveRender(sheet, QStringLiteral("country-picker-keyboard")));
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(sheet), QStringList());
        // Cancel and Done show their focus alike, as the ring.
        QVERIFY(ScreenFixtures::showsRingAlone(sheet->cancelButton()));
        QVERIFY(ScreenFixtures::showsRingAlone(sheet->doneButton()));
        QCOMPARE(sheet->searchText(), QStringLiteral("ger"));
        sheet->reject();
    }

    void pickerSearchTextFollowsTheScheme_data()
    {
        QTest::addColumn<bool>("toDark");
        QTest::newRow("dark to light") << false;
        QTest::newRow("light to dark") << true;
    }

    void pickerSearchTextFollowsTheScheme()
    {
        QFETCH(bool, toDark);
        const ColorScheme from = toDark ? ColorScheme::Light : ColorScheme::Dark;
        const ColorScheme to = toDark ? ColorScheme::Dark : ColorScheme::Light;
        ScreenFixtures::applyScheme(from);
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        view->show();
        view->selectCountries();
        CountryPickerSheet* sheet = view->countryPicker();
        QTRY_VERIFY(sheet && sheet->isVisible());
        sheet->setSearchText(QStringLiteral("Germany"));

        // The desktop switches while the picker is open: the typed text takes
        // the new scheme's text colour, as the rows and the placeholder do.
        ScreenFixtures::applyScheme(to);
        sheet->listView()->setFocus(); // no text cursor in the picture
        QCoreApplication::processEvents();
        const QImage image = sheet->grab().toImage();
        QVERIFY(ScreenFixtures::saveRender(image, QStringLiteral("country-picker-switched-%1").arg(toDark ? "dark" : "light")));
        QLineEdit* field = sheet->searchField();
        const QRect text(field->mapTo(sheet, QPoint()), field->size());
        const int background = qGray(image.pixel(text.topLeft() * image.devicePixelRatio()));
        int inkiest = background;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x) {
                const int gray = qGray(image.pixel(QPoint(x, y) * image.devicePixelRatio()));
                inkiest = toDark ? std::max(inkiest, gray) : std::min(inkiest, gray);
            }
        const int expected = qGray(SemanticColors::primary(to).rgb());
        // Drawn at the primary colour's opacity over the field.
        const int blended = background + qRound(SemanticColors::primary(to).alphaF() * (expected - background));
        QVERIFY2(std::abs(inkiest - blended) <= 16, qPrintable(QStringLiteral("%1, not %2").arg(inkiest).arg(blended)));
        sheet->reject();
    }

    void resultsScrollBarFollowsTheScheme_data() { pickerSearchTextFollowsTheScheme_data(); }

    // The desktop switches scheme with the results on screen: their scroll
    // bar looks as it does on a page built in the new scheme.
    void resultsScrollBarFollowsTheScheme()
    {
        QFETCH(bool, toDark);
        const ColorScheme to = toDark ? ColorScheme::Dark : ColorScheme::Light;
        settings()->setValue(kSelectedKey, QStringList{"US", "GB", "FR", "DE"});
        const auto shownBar = [this] {
            auto viewModel = makeViewModel();
            auto view = makeView(viewModel.get(), QSize(700, 600));
            view->show();
            return std::pair(std::move(viewModel), std::move(view));
        };
        ScreenFixtures::applyScheme(toDark ? ColorScheme::Light : ColorScheme::Dark);
        auto [viewModel, view] = shownBar();
        QTRY_VERIFY(!viewModel->isLoading());
        QScrollBar* bar = view->scrollArea()->verticalScrollBar();
        // The results are laid out a turn after the load ends.
        QTRY_VERIFY(bar->isVisible() && bar->maximum() > 0);
        const QImage before = bar->grab().toImage();

        ScreenFixtures::applyScheme(to);
        const QImage switched = bar->grab().toImage();
        QVERIFY(switched != before);
        auto [freshViewModel, fresh] = shownBar();
        QTRY_VERIFY(!freshViewModel->isLoading());
        QScrollBar* freshBar = fresh->scrollArea()->verticalScrollBar();
        QTRY_COMPARE(freshBar->maximum(), bar->maximum());
        QCOMPARE(freshBar->value(), bar->value());
        // Both settle (a busy machine may still owe either a repaint), and
        // then look the same.
        QTRY_COMPARE(bar->grab().toImage(), freshBar->grab().toImage());
    }

    void headerStacksWhenNarrow()
    {
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get(), QSize(900, 600));
        view->show();
        QTRY_VERIFY(!viewModel->isLoading());
        QVERIFY(!view->isHeaderStacked());
        view->resize(340, 600);
        QTRY_VERIFY(view->isHeaderStacked());
        QTRY_VERIFY(view->countriesButton()->mapTo(view.get(), QPoint()).y()
                    > view->iconView()->mapTo(view.get(), QPoint()).y() + 40);
        view->resize(900, 600);
        QTRY_VERIFY(!view->isHeaderStacked());

        // A name of any length stacks the header and is cut to the page.
        const int hint = view->sizeHint().width();
        AppInfo app = view->app();
        app.name = QString(1000, QLatin1Char('W'));
        view->setApp(app);
        QTRY_VERIFY(view->isHeaderStacked());
        QVERIFY(view->sizeHint().width() <= hint);
        QVERIFY(view->minimumSizeHint().width() < 400);
        QTRY_VERIFY(view->findChild<ShrinkingLabel*>(QStringLiteral("appName"))->width() < view->width());
        QVERIFY(ScreenFixtures::saveRender(view.get(), QStringLiteral("rank-monitor-long-name")));
    }

    // Every Tab stop of the page shows its focus, the results area included,
    // and shows it as the ring the other controls have.
    void everyStopShowsTheRing()
    {
        const auto viewModel = makeViewModel();
        const auto view = makeView(viewModel.get());
        view->show();
        QApplication::setActiveWindow(view.get());
        QTRY_COMPARE(QApplication::activeWindow(), view.get());
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(view.get()), QStringList());
        for (QWidget* stop : QList<QWidget*>{view->countriesButton(), view->reloadButton(), view->scrollArea()})
            QVERIFY2(ScreenFixtures::showsRingAlone(stop), qPrintable(stop->objectName()));
    }

    void deletedWhileLoading()
    {
        settings()->setValue(kSelectedKey, QStringList{"US", "GB"});
        m_delayMs = 150;
        auto viewModel = makeViewModel();
        auto view = makeView(viewModel.get());
        view->show();
        QVERIFY(viewModel->isLoading());
        view.reset();
        QTRY_VERIFY(!viewModel->isLoading());

        // The view model going first leaves a page that shows nothing and does nothing.
        view = makeView(viewModel.get());
        view->show();
        viewModel.reset();
        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        view->selectCountries();
        QVERIFY(!view->countryPicker());
        QTest::qWait(20);
    }

private:
    std::unique_ptr<AppRankMonitorViewModel> makeViewModel(const QString& genre = QStringLiteral("Productivity"))
    {
        AppInfo app;
        app.id = kAppID;
        app.genre = genre;
        const AppRankingService charts(m_session, m_server->baseUrl(), m_server->baseUrl());
        return std::make_unique<AppRankMonitorViewModel>(app, QStringLiteral("US"), AppRankMonitorService(charts, 50));
    }
    std::unique_ptr<AppRanksView> makeView(AppRankMonitorViewModel* viewModel, QSize size = QSize(900, 900))
    {
        auto view = std::make_unique<AppRanksView>(viewModel);
        AppInfo app;
        app.id = kAppID;
        app.name = QStringLiteral("Field Notes");
        app.iconURL = QUrl(m_server->baseUrl().toString() + QStringLiteral("/icons/app.png"));
        view->setApp(app);
        view->resize(size);
        return view;
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    int m_delayMs = 0;
};

QTEST_MAIN(AppRanksViewTest)
#include "AppRanksViewTest.moc"
