// The top-charts tab beside a bare QListView whose simple delegate draws the
// same icon and two elided lines at the same row heights: both windows shown
// at 1280x860 at once, with a chart of 200 entries (names in several scripts)
// that came in through the view model from a loopback chart server, icons warm
// in the cache. Each loop times a full repaint of each window, or a scroll of
// each list by one row as a wheel step brings it; the counters give both
// medians and their ratio (tab over reference), paired in the same loop.
#include "Services/Charts/AppRankingService.h"
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingRow.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "ViewModels/AppRankingViewModel.h"
#include "platform/HttpSession.h"
#include "platform/RemoteImageCache.h"
#include "platform/TextStyle.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/WorldText.h"
#include "support/WidgetBenchMain.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {
constexpr int kRows = 200;
const QSize kWindow(1280, 860);

QList<ScreenFixtures::ChartEntry> entries()
{
    QList<ScreenFixtures::ChartEntry> list = ScreenFixtures::numberedEntries(kRows);
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i].name = WorldText::text(int(i), 8 + i % 23);
    return list;
}

struct Fixture {
    std::unique_ptr<FixtureServer> server = std::make_unique<FixtureServer>();
    QByteArray chart;

    Fixture()
    {
        if (!server->listen())
            qFatal("no fixture server");
        chart = ScreenFixtures::currentChart(entries(), server->baseUrl());
        server->setHandler([this](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.path.endsWith(QLatin1String("/apps.json")))
                return FixtureResponse::json(chart);
            FixtureResponse icon;
            icon.body = ScreenFixtures::pngBytes(Qt::darkCyan, QSize(100, 100));
            icon.contentType = "image/png";
            return icon;
        });
    }
};

// What a plain list does: the icon, the name and the developer, each line
// elided to the row's width at every paint.
class SimpleRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect row = option.rect.adjusted(16, 0, -16, 0);
        const int side = RankingRow::kIconSide;
        const QRect icon(row.left(), row.center().y() - side / 2, side, side);
        index.data(Qt::DecorationRole).value<QIcon>().paint(painter, icon);
        const int left = icon.right() + 1 + 16;
        const QFontMetrics nameMetrics(m_name);
        const QFontMetrics artistMetrics(m_artist);
        const int top = row.center().y() - (nameMetrics.height() + 4 + artistMetrics.height()) / 2;
        const QRect name(left, top, row.right() - left, nameMetrics.height());
        const QRect artist(left, name.bottom() + 1 + 4, name.width(), artistMetrics.height());
        painter->setPen(option.palette.color(QPalette::Text));
        painter->setFont(m_name);
        painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                          nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, name.width()));
        painter->setFont(m_artist);
        painter->drawText(artist, Qt::AlignLeft | Qt::AlignVCenter,
                          artistMetrics.elidedText(index.data(Qt::UserRole).toString(), Qt::ElideRight, artist.width()));
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        return index.data(Qt::SizeHintRole).toSize();
    }

private:
    QFont m_name = platformFont(TextStyle::Headline);
    QFont m_artist = platformFont(TextStyle::Subheadline);
};

// The tab and the reference, both on screen, with the same entries.
struct Windows {
    Fixture fixture;
    AppRankingViewModel viewModel;
    RanksSummaryTabView tab;
    QStandardItemModel referenceModel;
    SimpleRowDelegate referenceDelegate;
    QListView reference;

    Windows()
        : viewModel(AppRankingService(std::make_shared<HttpSession>(), fixture.server->baseUrl(),
                                      fixture.server->baseUrl()),
                    QStringLiteral("US"), kRows)
        , tab(&viewModel)
    {
        AppInfo open;
        open.id = 1005;
        tab.setApp(open);
        tab.setSavedAppIDs({1010, 1020, 1030});
        tab.resize(kWindow);
        // Shown, the tab loads its chart; the list page shows once it is in.
        tab.show();
        if (!QTest::qWaitForWindowExposed(&tab)
            || !QTest::qWaitFor([&] { return tab.contentState() == RanksSummaryTabView::ContentState::Rows; }, 20000))
            qFatal("chart not shown");
        // Every icon in the cache before anything is timed.
        if (!QTest::qWaitFor(
                [&] {
                    const RankingListModel* model = tab.model();
                    for (int row = 0; row < model->rowCount(); ++row) {
                        if (model->index(row).data(Qt::DecorationRole).value<QImage>().isNull()) {
                            model->index(row).data(RankingListModel::IconPhaseRole); // asks for it
                            return false;
                        }
                    }
                    return true;
                },
                20000))
            qFatal("icons did not arrive");

        QListView* list = tab.listView();
        for (int row = 0; row < tab.model()->rowCount(); ++row) {
            const QModelIndex index = tab.model()->index(row);
            const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
            const QImage image = index.data(Qt::DecorationRole).value<QImage>();
            auto* item = new QStandardItem(QIcon(QPixmap::fromImage(image)), ranking.name);
            item->setData(ranking.artistName, Qt::UserRole);
            item->setSizeHint(QSize(-1, list->sizeHintForRow(row)));
            referenceModel.appendRow(item);
        }
        reference.setModel(&referenceModel);
        reference.setItemDelegate(&referenceDelegate);
        reference.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        reference.resize(kWindow);
        reference.show();
        if (!QTest::qWaitForWindowExposed(&reference))
            qFatal("reference not shown");
        settle();
    }

    static void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
};

Windows& windows()
{
    // Left to the end of the process: windows must not outlive the application.
    static Windows* shared = new Windows;
    return *shared;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Times `step` on the tab and then on the reference in every loop; the loop's
// time is the tab's.
template <typename Step>
void paired(benchmark::State& state, Step step)
{
    Windows& w = windows();
    std::vector<double> tabTimes;
    std::vector<double> referenceTimes;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        step(static_cast<QWidget&>(w.tab), w.tab.listView());
        const double tab = double(clock.nsecsElapsed()) / 1e9;
        clock.start();
        step(static_cast<QWidget&>(w.reference), &w.reference);
        const double reference = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(tab);
        tabTimes.push_back(tab);
        referenceTimes.push_back(reference);
    }
    const double tab = median(tabTimes);
    const double reference = median(referenceTimes);
    state.counters["tab_ms"] = tab * 1e3;
    state.counters["reference_ms"] = reference * 1e3;
    state.counters["ratio"] = reference > 0 ? tab / reference : 0;
}

void BM_Repaint(benchmark::State& state)
{
    paired(state, [](QWidget& window, QListView*) { window.repaint(); });
}

// One row down per loop, back up one row at a time once at the bottom: every
// step shows a row that was not on screen.
void BM_ScrollOneRow(benchmark::State& state)
{
    const int step = windows().tab.listView()->sizeHintForRow(0);
    paired(state, [step](QWidget& window, QListView* list) {
        QScrollBar* bar = list->verticalScrollBar();
        const bool goingDown = list->property("benchUp").isNull();
        int next = bar->value() + (goingDown ? step : -step);
        if (next > bar->maximum() || next < bar->minimum()) {
            list->setProperty("benchUp", goingDown ? QVariant(true) : QVariant());
            next = bar->value() + (goingDown ? -step : step);
        }
        bar->setValue(next);
        QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    });
}
} // namespace

BENCHMARK(BM_Repaint)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ScrollOneRow)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
