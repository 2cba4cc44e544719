#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/TestHelpers.h"
#include "Services/Catalogue/AppSearchService.h"
#include "Services/MakerApps/DataService.h"
#include "Services/Support/MailComposer.h"
#include "ViewModels/SettingsViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "Views/MainWindow/MainView.h"
#include "Views/RankMonitor/CountryPickerSheet.h"
#include "Views/SettingsView/AppInfoSectionView.h"
#include "Views/SettingsView/AppsGridView.h"
#include "Views/SettingsView/AppsListModel.h"
#include "Views/SettingsView/LinkRow.h"
#include "Views/SettingsView/PageScrollArea.h"
#include "Views/SettingsView/SettingsCard.h"
#include "Views/SettingsView/SettingsView.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QToolButton>
#include <QSysInfo>
#include <QtTest>

#include <memory>

namespace {

const QString kListPath = QStringLiteral("/resources/apps.json");

struct ListedApp {
    QString name;
    QString link;
    QString icon;
};

QByteArray appsList(const QList<ListedApp>& apps)
{
    QJsonArray entries;
    int order = 0;
    for (const ListedApp& app : apps)
        entries.append(QJsonObject{{"name", app.name}, {"link", app.link}, {"icon", app.icon},
                                   {"is_new", false}, {"order", ++order}});
    return QJsonDocument(QJsonObject{{"version", "1"}, {"apps", entries}}).toJson(QJsonDocument::Compact);
}

QList<ListedApp> numberedApps(int count, const QUrl& base)
{
    QList<ListedApp> apps;
    for (int i = 1; i <= count; ++i)
        apps.append({QStringLiteral("App %1").arg(i), QStringLiteral("https://vantorel.com/app%1").arg(i),
                     base.toString() + QStringLiteral("/icons/%1.png").arg(i)});
    return apps;
}

int cellCount(const SettingsView* sheet)
{
    return sheet->appsModel()->rowCount();
}

QStringList cellNames(const SettingsView* sheet)
{
    QStringList names;
    for (const AppData::Application& app : sheet->appsModel()->apps())
        names.append(app.name);
    return names;
}

QRect cellRect(const SettingsView* sheet, int row)
{
    return sheet->appsGrid()->visualRect(sheet->appsModel()->index(row));
}

void clickCell(SettingsView* sheet, int row)
{
    QTest::mouseClick(sheet->appsGrid()->viewport(), Qt::LeftButton, {}, cellRect(sheet, row).center());
}

} // namespace

class SettingsViewTest : public QObject {
    Q_OBJECT

    FixtureServer m_server;
    QList<QUrl> m_opened;
    QList<QUrl> m_mailed;
    std::unique_ptr<QWidget> m_owner;

    SettingsView* openSheet(QSize size = QSize(620, 720))
    {
        auto* sheet = new SettingsView(m_owner.get());
        sheet->resize(size);
        sheet->open();
        return sheet;
    }

    // Waits until every list the sheet asked for has come back: a list asked
    // for later and answered later marks the moment.
    void waitForListsAskedBefore()
    {
        m_server.setRoute(QStringLiteral("/probe.json"), FixtureResponse::json(appsList({})).delayed(400));
        bool probed = false;
        DataService().getAppsData(m_server.baseUrl().toString() + QStringLiteral("/probe.json"),
                                  [&probed](QList<AppData::Application>) { probed = true; });
        QTRY_VERIFY(probed);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        qputenv("PLOVERA_MAKER_URL", m_server.baseUrl().toString().toUtf8());
        qputenv("PLOVERA_CATALOGUE_URL", m_server.baseUrl().toString().toUtf8());
    }

    void init()
    {
        m_server.clearRoutes();
        m_server.setRoute(QStringLiteral("/icons/1.png"), ScreenFixtures::pngResponse(Qt::red, 128));
        m_opened.clear();
        m_mailed.clear();
        setLinkOpenerForTesting([this](const QUrl& url) {
            m_opened.append(url);
            return true;
        });
        LogCapture::start();
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(1000, 800);
        m_owner->show();
        // Toasts wait for an active window, as on a desktop.
        QVERIFY(QTest::qWaitForWindowExposed(m_owner.get()));
        QApplication::setActiveWindow(m_owner.get());
        QTRY_COMPARE(QApplication::activeWindow(), m_owner.get());
    }

    void cleanup()
    {
        m_owner.reset();
        setLinkOpenerForTesting({});
        MailComposer::setDesktopForTesting(std::nullopt);
        Log::setSinkForTesting(nullptr);
        ScreenFixtures::resetScheme();
    }

    void gearOpensAFreshSheetThatClosesAndFetchesAgain_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Done") << false;
        QTest::newRow("Escape") << true;
    }

    void gearOpensAFreshSheetThatClosesAndFetchesAgain()
    {
        QFETCH(bool, byEscape);
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(2, m_server.baseUrl()))));
        MainView main(new MainViewModel(nullptr, AppSearchService()));
        main.resize(1000, 700);
        main.show();
        QSignalSpy showing(&main, &MainView::showingSettingsChanged);
        const int requestsBefore = m_server.requestCount(kListPath);

        for (int opening = 1; opening <= 2; ++opening) {
            QTest::mouseClick(main.settingsButton(), Qt::LeftButton);
            QVERIFY(main.isShowingSettings());
            QPointer<SettingsView> sheet = main.settingsView();
            QTRY_VERIFY(sheet && sheet->isVisible());
            QCOMPARE(sheet->windowModality(), Qt::WindowModal);
            QVERIFY(!sheet->viewModel()->showToastEmailCompleted() && !sheet->viewModel()->showToastEmailError()
                    && !sheet->isShowingAlert());
            // Every opening starts empty and fetches the list anew.
            QVERIFY(sheet->appsProgress()->isVisibleTo(sheet));
            QTRY_COMPARE(cellNames(sheet), (QStringList{"App 1", "App 2"}));
            QCOMPARE(m_server.requestCount(kListPath), requestsBefore + opening);

            LogCapture::lines().clear();
            if (byEscape)
                QTest::keyClick(sheet, Qt::Key_Escape);
            else
                QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
            QVERIFY(!main.isShowingSettings());
            QTRY_VERIFY(!sheet); // let go, not kept for the next opening
            QVERIFY2(LogCapture::text().contains(QStringLiteral("] body - SettingsView disappeared")),
                     qPrintable(LogCapture::text()));
        }
        QCOMPARE(showing.size(), 4);
    }

    void progressShowsUntilAListArrives()
    {
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(3, m_server.baseUrl()))).delayed(300));
        SettingsView* sheet = openSheet();
        QTRY_VERIFY(sheet->isVisible());
        QVERIFY(sheet->appsProgress()->isVisible());
        QVERIFY(!sheet->appsGrid()->isVisible());
        QTRY_VERIFY(sheet->appsGrid()->isVisible());
        QVERIFY(!sheet->appsProgress()->isVisible());
        // Document order, not the entries' order field.
        QCOMPARE(cellNames(sheet), (QStringList{"App 1", "App 2", "App 3"}));
        QTRY_VERIFY(!sheet->appsModel()->icon(0).isNull());
    }

    void emptyOrFailedListsKeepTheProgress_data()
    {
        QTest::addColumn<FixtureResponse>("answer");
        QTest::newRow("no apps") << FixtureResponse::json(appsList({}));
        QTest::newRow("server error") << FixtureResponse::withStatus(500);
        QTest::newRow("not json") << FixtureResponse::html("<html>maintenance</html>");
    }

    void emptyOrFailedListsKeepTheProgress()
    {
        QFETCH(FixtureResponse, answer);
        m_server.setRoute(kListPath, answer);
        SettingsView* sheet = openSheet();
        const qsizetype labels = sheet->findChildren<QLabel*>().size();
        waitForListsAskedBefore();
        QVERIFY(sheet->appsProgress()->isVisible());
        QCOMPARE(cellCount(sheet), 0);
        QCOMPARE(sheet->findChildren<QLabel*>().size(), labels); // no message of any kind
    }

    void lateListsAreDropped_data()
    {
        QTest::addColumn<bool>("deleteSheet");
        QTest::newRow("sheet closed") << false;
        QTest::newRow("sheet gone") << true;
    }

    void lateListsAreDropped()
    {
        QFETCH(bool, deleteSheet);
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(2, m_server.baseUrl()))).delayed(150));
        const int requestsBefore = m_server.requestCount(kListPath);
        QPointer<SettingsView> sheet = openSheet();
        QTRY_COMPARE(m_server.requestCount(kListPath), requestsBefore + 1);
        sheet->reject();
        if (deleteSheet)
            delete sheet;
        waitForListsAskedBefore();
        if (!deleteSheet) {
            QVERIFY(sheet->viewModel()->apps().isEmpty());
            QCOMPARE(cellCount(sheet), 0);
        }
    }

    void gridFitsColumnsToTheWidth_data()
    {
        QTest::addColumn<int>("sheetWidth");
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("longName");
        QTest::newRow("narrow: one a row") << 380 << 1 << false;
        QTest::newRow("standard") << 640 << 3 << false;
        QTest::newRow("wide") << 1000 << 5 << false;
        QTest::newRow("a long name, narrow") << 380 << 1 << true;
        QTest::newRow("a long name") << 640 << 3 << true;
    }

    void gridFitsColumnsToTheWidth()
    {
        QFETCH(int, sheetWidth);
        QFETCH(int, columns);
        QFETCH(bool, longName);
        QList<ListedApp> apps = numberedApps(6, m_server.baseUrl());
        if (longName)
            apps[1].name = QString(80, QLatin1Char('W'));
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(apps)));
        SettingsView* sheet = openSheet(QSize(sheetWidth, 700));
        QTRY_COMPARE(cellCount(sheet), 6);
        AppsGridView* grid = sheet->appsGrid();
        QTRY_COMPARE(grid->columnCount(), columns);
        const QRect first = cellRect(sheet, 0);
        // What the cells show (inside the room for their focus rings) is at
        // least the minimum wide and stands 20 apart in both directions.
        const int ringRoom = 2 * AppInfoSectionView::kFocusRoom;
        if (columns > 1) {
            QVERIFY(first.width() - ringRoom >= SettingsView::minimumCellWidth);
            QCOMPARE(cellRect(sheet, 1).x() - first.right() - 1 + ringRoom, SettingsView::cellSpacing);
        }
        QCOMPARE(cellRect(sheet, columns).y() - first.bottom() - 1 + ringRoom, SettingsView::cellSpacing);
        QCOMPARE(grid->contentHeightForWidth(grid->width()), cellRect(sheet, 5).bottom() + 1);
        QTRY_COMPARE(grid->height(), std::min(cellRect(sheet, 5).bottom() + 1, sheet->scrollArea()->viewport()->height()));
        // Each row is as tall as its own tallest name: only the long name's row takes two lines.
        const auto* cells = static_cast<const AppInfoSectionView*>(grid->itemDelegate());
        for (int row = 0; row < 6; ++row)
            QCOMPARE(cellRect(sheet, row).height(), cells->cellHeight(longName && row / columns == 1 / columns ? 2 : 1));

        // No name widens a cell or the page: every cell stays in the card, the
        // page in the sheet, and a name too long for its cell wraps, then elides.
        QWidget* page = sheet->scrollArea()->widget();
        QCOMPARE(page->width(), sheet->scrollArea()->viewport()->width());
        for (int row = 0; row < 6; ++row)
            QVERIFY(cellRect(sheet, row).right() < grid->width());
        QVERIFY(grid->mapTo(page, QPoint(grid->width(), 0)).x() <= page->width() - SettingsView::horizontalInset);
        const QStringList lines = AppInfoSectionView::nameLines(apps[1].name, AppInfoSectionView::nameFont(),
                                                                first.width(), AppInfoSectionView::kMaxNameLines);
        QCOMPARE(lines.size(), longName ? 2 : 1);
        for (const QString& line : lines)
            QVERIFY(QFontMetrics(AppInfoSectionView::nameFont()).horizontalAdvance(line) <= first.width());

        // The page scrolls to the last card's bottom edge and its inset, no further.
        const QWidget* lastCard = sheet->sections().last();
        QTRY_COMPARE(page->height(), std::max(sheet->scrollArea()->viewport()->height(),
                                              lastCard->geometry().bottom() + 1 + 24));
    }

    void largeListsDrawAtTheTopAndTheEnd_data()
    {
        QTest::addColumn<int>("sheetWidth");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("iconPath"); // none: the bare minimum, to fit more in the cap
        QTest::newRow("two columns, 6,600") << 480 << 2 << 6600 << false << "/i%1";
        QTest::newRow("two columns, 12,000, dark") << 480 << 2 << 12000 << true << "";
        QTest::newRow("three columns, 9,700") << 620 << 3 << 9700 << false << "/i";
        QTest::newRow("three columns, 12,000, dark") << 620 << 3 << 12000 << true << "";
    }

    void largeListsDrawAtTheTopAndTheEnd()
    {
        QFETCH(int, sheetWidth);
        QFETCH(int, columns);
        QFETCH(int, count);
        QFETCH(bool, dark);
        QFETCH(QString, iconPath);
        ScreenFixtures::applyScheme(dark ? ColorScheme::Dark : ColorScheme::Light);
        // Two-line names that are not ASCII, within the size cap.
        m_server.setRoute(QStringLiteral("/i"), ScreenFixtures::pngResponse(Qt::red, 128));
        QList<ListedApp> apps;
        for (int i = 1; i <= count; ++i)
            apps.append({QStringLiteral("Ärzte Wörterbuch %1").arg(i), QString(),
                         iconPath.isEmpty() ? QString()
                                             : m_server.baseUrl().toString() + QString(iconPath).replace("%1", QString::number(i))});
        const QByteArray list = appsList(apps);
        QVERIFY2(list.size() < 1024 * 1024, qPrintable(QString::number(list.size())));
        m_server.setRoute(kListPath, FixtureResponse::json(list));
        const int iconRequestsBefore = RemoteImageCache::shared()->networkRequestCount();
        SettingsView* sheet = openSheet(QSize(sheetWidth, 720));
        QAbstractItemModelTester tester(sheet->appsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_COMPARE_WITH_TIMEOUT(cellCount(sheet), count, 10000);
        AppsGridView* grid = sheet->appsGrid();
        QTRY_COMPARE(grid->columnCount(), columns);
        QScrollBar* bar = sheet->scrollArea()->verticalScrollBar();
        const int rows = (count + columns - 1) / columns;
        QTRY_VERIFY(bar->maximum() > rows * (SettingsView::appIconSize + SettingsView::cellSpacing));

        const QColor card = SemanticColors::controlBackground(colorScheme(sheet));
        for (const bool atEnd : {false, true}) {
            bar->setValue(atEnd ? bar->maximum() : 0);
            QCoreApplication::processEvents();
            const QImage image = sheet->grab().toImage();
            QVERIFY(ScreenFixtures::saveRender(image, QStringLiteral("settings-%1-apps-%2-columns%3%4")
                                                          .arg(count)
                                                          .arg(columns)
                                                          .arg(atEnd ? "-end" : "", dark ? "-dark" : "")));
            // The first and the last cells show their icon tile and their name.
            const int row = atEnd ? count - 1 : 0;
            const QRect cell(grid->viewport()->mapTo(sheet, cellRect(sheet, row).topLeft()), cellRect(sheet, row).size());
            QVERIFY(QRect(sheet->scrollArea()->viewport()->mapTo(sheet, QPoint()), sheet->scrollArea()->viewport()->size())
                        .contains(cell));
            const qreal ratio = image.devicePixelRatio();
            QVERIFY(image.pixelColor((cell.topLeft() + QPoint(cell.width() / 2, 30)) * ratio) != card);
            int inked = 0;
            for (int y = cell.top() + SettingsView::appIconSize + 2; y < cell.bottom(); ++y)
                for (int x = cell.left(); x < cell.right(); ++x)
                    inked += std::abs(qGray(image.pixel(QPoint(x, y) * ratio)) - qGray(card.rgb())) > 100 ? 1 : 0;
            QVERIFY2(inked > 50, qPrintable(QString::number(inked)));
        }
        // Only the cells on screen asked for their icons.
        QVERIFY(RemoteImageCache::shared()->networkRequestCount() - iconRequestsBefore <= 4 * columns * 2 + 1);
        // The keyboard reaches the first and the last cell, and the page follows.
        grid->setFocus();
        for (const auto& [key, row] : {std::pair{Qt::Key_End, count - 1}, std::pair{Qt::Key_Home, 0}}) {
            QTest::keyClick(grid, key);
            QCOMPARE(grid->currentIndex().row(), row);
            QVERIFY(sheet->scrollArea()->viewport()->rect().contains(
                QRect(grid->viewport()->mapTo(sheet->scrollArea()->viewport(), cellRect(sheet, row).topLeft()),
                      cellRect(sheet, row).size())));
        }
    }

    void cellsWorkByKeyboard()
    {
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(5, m_server.baseUrl()))));
        SettingsView* sheet = openSheet();
        QTRY_COMPARE(cellCount(sheet), 5);
        AppsGridView* grid = sheet->appsGrid();
        const QImage unfocused = grid->grab().toImage();

        // Tab from the maker row reaches the grid's first cell, and shows it.
        sheet->makerRow()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex().row(), 0);
        QVERIFY(grid->grab().toImage() != unfocused);

        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(m_opened, (QList<QUrl>{QUrl("https://vantorel.com/app2"), QUrl("https://vantorel.com/app5")}));
        QVERIFY(sheet->isVisible()); // the keys opened the cells, not the sheet's default button
    }

    void onlyWebLinksAndIconsAreUsed_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("used");
        QTest::newRow("https") << "https://vantorel.com/quillmark" << true;
        QTest::newRow("http") << "http://vantorel.com/quillmark" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("not an address") << "quillmark" << false;
    }

    void onlyWebLinksAndIconsAreUsed()
    {
        QFETCH(QString, address);
        QFETCH(bool, used);
        m_server.setRoute(kListPath, FixtureResponse::json(appsList({{"Quillmark", address, address}})));
        SettingsView* sheet = openSheet();
        QTRY_COMPARE(cellCount(sheet), 1);
        clickCell(sheet, 0);
        QCOMPARE(m_opened, used ? QList<QUrl>{QUrl(address)} : QList<QUrl>{});
        QCOMPARE(sheet->appsModel()->iconURL(0), used ? QUrl(address) : QUrl());
        // The name shows whatever the icon does.
        QCOMPARE(sheet->appsModel()->index(0).data().toString(), QStringLiteral("Quillmark"));
    }

    void supportLinks_data()
    {
        QTest::addColumn<int>("row"); // -1: the maker row
        QTest::addColumn<QUrl>("opened");
        QTest::newRow("rate us") << 0 << QUrl("https://apps.apple.com/app/id6741938205?action=write-review");
        QTest::newRow("maker") << -1 << QUrl("https://vantorel.com");
    }

    void supportLinks()
    {
        QFETCH(int, row);
        QFETCH(QUrl, opened);
        SettingsView* sheet = openSheet();
        QTRY_VERIFY(sheet->isVisible());
        LinkRow* target = row < 0 ? sheet->makerRow() : sheet->supportRows().at(row);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        QCOMPARE(m_opened, QList<QUrl>{opened});
    }

    void mailOutcomesRaiseTheirFlag_data()
    {
        QTest::addColumn<bool>("hasProgram");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("logged");
        QTest::newRow("sent") << true << true << true << QString();
        QTest::newRow("no mail program") << false << false << false
                                         << EmailService::description(EmailService::EmailError::emailNotAvailable);
        QTest::newRow("program refuses") << true << false << false
                                         << EmailService::description(EmailService::EmailError::cannotPerformEmail);
    }

    void mailOutcomesRaiseTheirFlag()
    {
        QFETCH(bool, hasProgram);
        QFETCH(bool, opens);
        QFETCH(bool, succeeds);
        QFETCH(QString, logged);
        MailComposer::setDesktopForTesting(MailComposer::Desktop{[hasProgram] { return hasProgram; },
                                                                 [this, opens](const QUrl& url) {
                                                                     m_mailed.append(url);
                                                                     return opens;
                                                                 }});
        SettingsView* sheet = openSheet();
        QTRY_VERIFY(sheet->isVisible());
        SettingsViewModel* model = sheet->viewModel();
        QSignalSpy completed(model, &SettingsViewModel::showToastEmailCompletedChanged);
        QSignalSpy failed(model, &SettingsViewModel::showToastEmailErrorChanged);
        LinkRow* feedback = sheet->supportRows().at(1);
        for (int send = 0; send < 2; ++send)
            QTest::mouseClick(feedback, Qt::LeftButton, {}, feedback->rect().center());

        // A second outcome raises its toast anew (off, then on) instead of
        // lowering the first one's flag.
        QCOMPARE(model->showToastEmailCompleted(), succeeds);
        QCOMPARE(model->showToastEmailError(), !succeeds);
        QCOMPARE(completed.size(), succeeds ? 3 : 0);
        QCOMPARE(failed.size(), succeeds ? 0 : 3);
        // The toast shows over the sheet, and its flag returns to off when it goes.
        const QString title = succeeds ? QStringLiteral("Email is sent") : QStringLiteral("The Email was not sent!");
        const auto shownOverSheet = [sheet, title] {
            for (const QLabel* label : sheet->findChildren<QLabel*>(QStringLiteral("ToastContent")))
                if (label->text() == title && label->isVisible())
                    return true;
            return false;
        };
        QTRY_VERIFY(shownOverSheet());
        QTRY_VERIFY_WITH_TIMEOUT(!model->showToastEmailCompleted() && !model->showToastEmailError(), 6000);
        QCOMPARE(m_mailed.size(), hasProgram ? 2 : 0);
        if (hasProgram)
            QCOMPARE(m_mailed.first(), MailComposer::mailtoURL(QStringLiteral("support@vantorel.com"), QStringLiteral("Support"),
                                                               SettingsViewModel::supportEmailBody()));
        QCOMPARE(LogCapture::lines().filter(QStringLiteral("SettingsViewModel::sendSupportEmail - Error sending email: ") + logged).size(),
                 logged.isEmpty() ? 0 : 2);
    }

    // The main window shown at its usual size and active, as a user meets it.
    static bool showActive(MainView& main)
    {
        main.resize(1000, 700);
        main.show();
        if (!QTest::qWaitForWindowExposed(&main))
            return false;
        QApplication::setActiveWindow(&main);
        return QTest::qWaitFor([&main] { return QApplication::activeWindow() == &main; });
    }

    // A sheet closes under its toast and others open while it runs: the toast
    // runs out over the main window and never shows over a later sheet, and
    // a later sheet's own toast does not wait behind it.
    void aClosedSheetsToastStaysOffLaterSheets()
    {
        MailComposer::setDesktopForTesting(MailComposer::Desktop{[] { return false; }, [](const QUrl&) { return false; }});
        MainView main(new MainViewModel(nullptr, AppSearchService()));
        QVERIFY(showActive(main));
        const auto toastsOver = [](QWidget* sheet) {
            int shown = 0;
            for (const QLabel* label : sheet->findChildren<QLabel*>(QStringLiteral("ToastContent")))
                shown += label->text() == QStringLiteral("The Email was not sent!") && label->isVisible() ? 1 : 0;
            return shown;
        };
        const auto openSettings = [&main]() -> SettingsView* {
            QTest::mouseClick(main.settingsButton(), Qt::LeftButton);
            QPointer<SettingsView> sheet = main.settingsView();
            return sheet && QTest::qWaitFor([sheet] { return sheet && sheet->isActiveWindow(); }) ? sheet.data() : nullptr;
        };
        const auto sendFeedback = [](SettingsView* sheet) {
            LinkRow* feedback = sheet->supportRows().at(1);
            QTest::mouseClick(feedback, Qt::LeftButton, {}, feedback->rect().center());
        };
        NSToastHostingController* controller = toastHostingController(&main);

        // Closed under its toast, and once more with the toast over the window.
        for (const bool feedback : {true, false}) {
            QPointer<SettingsView> sheet = openSettings();
            QVERIFY(sheet);
            if (feedback) {
                sendFeedback(sheet);
                QTRY_COMPARE(toastsOver(sheet), 1);
            }
            QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
            QTRY_VERIFY(!sheet);
        }
        QVERIFY(controller->isPresenting());

        SettingsView* sheet = openSettings();
        QVERIFY(sheet);
        bool leaked = false;
        QTRY_VERIFY_WITH_TIMEOUT((leaked = leaked || toastsOver(sheet) > 0, !controller->isPresenting()), 8000);
        QVERIFY(!leaked);
        sendFeedback(sheet);
        QTRY_COMPARE(toastsOver(sheet), 1);
    }

    void aClosedSheetsToastRunsOnOverItsWindowAndNeverComesBack_data()
    {
        QTest::addColumn<int>("delay"); // from Done to the next sheet, in milliseconds
        QTest::addColumn<bool>("picker"); // the next sheet: the country picker, else Settings
        QTest::newRow("Settings at once") << 0 << false;
        QTest::newRow("Settings after 0.2 s") << 200 << false;
        QTest::newRow("Settings after 0.5 s") << 500 << false;
        QTest::newRow("Settings after 1 s") << 1000 << false;
        QTest::newRow("country picker after 0.2 s") << 200 << true;
        QTest::newRow("country picker after 1 s") << 1000 << true;
    }

    void aClosedSheetsToastRunsOnOverItsWindowAndNeverComesBack()
    {
        QFETCH(int, delay);
        QFETCH(bool, picker);
        MailComposer::setDesktopForTesting(MailComposer::Desktop{[] { return false; }, [](const QUrl&) { return false; }});
        MainView main(new MainViewModel(nullptr, AppSearchService()));
        QVERIFY(showActive(main));
        NSToastHostingController* controller = toastHostingController(&main);
        QTest::mouseClick(main.settingsButton(), Qt::LeftButton);
        QPointer<SettingsView> sheet = main.settingsView();
        QVERIFY(QTest::qWaitFor([sheet] { return sheet && sheet->isActiveWindow(); }));

        // Where the toast shows at each step of the event loop, each change
        // noted once: a break, or a return after one, shows in the list.
        QStringList seen;
        const auto note = [&] {
            QString now = QStringLiteral("nowhere");
            for (const QLabel* label : controller->hostingView()->findChildren<QLabel*>(QStringLiteral("ToastContent"))) {
                if (label->text() == QStringLiteral("The Email was not sent!") && label->isVisible())
                    now = label->window() == &main ? QStringLiteral("window")
                        : label->window() == sheet ? QStringLiteral("its sheet") : QStringLiteral("next sheet");
            }
            if (seen.isEmpty() ? now != QStringLiteral("nowhere") : seen.last() != now)
                seen.append(now);
        };
        const auto noteUntil = [&note](const std::function<bool()>& done, int timeout = 5000) {
            return QTest::qWaitFor(
                [&] {
                    note();
                    return done();
                },
                timeout);
        };
        const auto noteFor = [&noteUntil](int milliseconds) {
            QElapsedTimer clock;
            clock.start();
            return noteUntil([&clock, milliseconds] { return clock.elapsed() >= milliseconds; });
        };

        LinkRow* feedback = sheet->supportRows().at(1);
        QTest::mouseClick(feedback, Qt::LeftButton, {}, feedback->rect().center());
        QVERIFY(noteUntil([&seen] { return !seen.isEmpty(); }));
        QVERIFY(noteFor(400));
        QTest::mouseClick(sheet->doneButton(), Qt::LeftButton);
        QVERIFY(noteFor(delay));
        QPointer<QDialog> next;
        if (picker) {
            next = new CountryPickerSheet({}, &main);
            next->setAttribute(Qt::WA_DeleteOnClose);
            next->open();
        } else {
            QTest::mouseClick(main.settingsButton(), Qt::LeftButton);
            next = main.settingsView();
        }
        QVERIFY(noteUntil([&next] { return next && next->isActiveWindow(); }));
        QVERIFY(noteUntil([controller] { return !controller->isPresenting(); }, 10000));
        note();
        // Over the window until its end, or ended with its sheet (so busy a
        // machine that its time ran out before Done): once gone, gone.
        QVERIFY2(seen == (QStringList{"its sheet", "window", "nowhere"})
                     || seen == (QStringList{"its sheet", "nowhere"}),
                 qPrintable(seen.join(QStringLiteral(", "))));
        delete next;
    }

    void mailBody_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full") << "Plovera 1.0.0" << QStringList{"de-CH", "en-US"}
                              << "App: Plovera 1.0.0\nDevice: arm64\nOS: Debian 12  Version 12\nLocale: de-CH";
        QTest::newRow("no languages: the locale") << "Plovera 1.0.0" << QStringList{}
                                                  << "App: Plovera 1.0.0\nDevice: arm64\nOS: Debian 12  Version 12\nLocale: fr_FR";
    }

    void mailBody()
    {
        QFETCH(QString, app);
        QFETCH(QStringList, languages);
        QFETCH(QString, expected);
        QCOMPARE(SettingsViewModel::supportEmailBody(app, QStringLiteral("arm64"), QStringLiteral("Debian 12  Version 12"),
                                                languages, QStringLiteral("fr_FR")),
                 expected);

        // The running program's body names this system, not a fixed one.
        const QStringList lines = SettingsViewModel::supportEmailBody().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("App: ")));
        QCOMPARE(lines.at(1), QStringLiteral("Device: ") + QSysInfo::currentCpuArchitecture());
        QVERIFY(lines.at(2).startsWith(QStringLiteral("OS: ") + QSysInfo::prettyProductName() + QStringLiteral("  ")));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("Locale: ")) && lines.at(3).size() > 8);
    }

    void termsAlert()
    {
        SettingsView* sheet = openSheet();
        QTRY_VERIFY(sheet->isVisible());
        LinkRow* terms = sheet->supportRows().at(2);
        QTest::mouseClick(terms, Qt::LeftButton, {}, terms->rect().center());
        QVERIFY(sheet->isShowingAlert());
        QMessageBox* alert = sheet->termsAlert();
        QTRY_VERIFY(alert && alert->isVisible());
        const QString terms_ = alert->informativeText();
        QVERIFY(terms_.size() > 700 && !terms_.contains(QLatin1Char('\n')));
        QSignalSpy closed(sheet, &SettingsView::showingAlertChanged);
        QTest::mouseClick(alert->buttons().first(), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!sheet->isShowingAlert());
        QTRY_VERIFY(!sheet->termsAlert());
        QVERIFY(sheet->isVisible());
    }

    void rowsTakeReturnAndEnter_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void rowsTakeReturnAndEnter()
    {
        QFETCH(int, key);
        const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        SettingsView* sheet = openSheet();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QApplication::setActiveWindow(sheet);
        QTRY_COMPARE(QApplication::activeWindow(), sheet);
        LinkRow* terms = sheet->supportRows().at(2);
        for (int i = 0; i < 20 && sheet->focusWidget() != terms; ++i)
            QTest::keyClick(sheet->focusWidget() ? sheet->focusWidget() : sheet, Qt::Key_Tab);
        QCOMPARE(sheet->focusWidget(), terms);

        // The focused row acts; the sheet's default button does not.
        QSignalSpy confirmed(sheet, &SheetDialog::confirmed);
        QTest::keyClick(terms, Qt::Key(key), modifiers);
        QVERIFY(sheet->isShowingAlert());
        QTRY_VERIFY(sheet->termsAlert() && sheet->termsAlert()->isVisible());
        QTest::mouseClick(sheet->termsAlert()->buttons().first(), Qt::LeftButton);
        QTRY_VERIFY(!sheet->termsAlert());

        sheet->makerRow()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(sheet->makerRow(), Qt::Key(key), modifiers);
        QCOMPARE(m_opened, QList<QUrl>{QUrl("https://vantorel.com")});
        QVERIFY(sheet->isVisible());
        QCOMPARE(confirmed.size(), 0);
    }

    // Every stop shows keyboard focus as the accent ring alone: the rows and
    // Done draw no mark of their own, and a grid cell's ring leaves its icon
    // and name as they were.
    void focusShowsAsTheRingClearOfTheContent()
    {
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(5, m_server.baseUrl()))));
        SettingsView* sheet = openSheet();
        QTRY_COMPARE(cellCount(sheet), 5);
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        for (QWidget* stop : QList<QWidget*>{sheet->supportRows().first(), sheet->makerRow(), sheet->doneButton()})
            QVERIFY2(ScreenFixtures::showsRingAlone(stop), qPrintable(stop->accessibleName() + stop->objectName()));

        AppsGridView* grid = sheet->appsGrid();
        const QRect cell = cellRect(sheet, 0);
        const QImage unfocused = grid->viewport()->grab(cell).toImage();
        sheet->makerRow()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(sheet->makerRow(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid);
        const int room = AppInfoSectionView::kFocusRoom;
        const auto mark = ScreenFixtures::focusMark(grid->viewport()->grab(cell).toImage(), unfocused,
                                                    SemanticColors::accent(colorScheme(grid)),
                                                    QRect(QPoint(), cell.size()).adjusted(room, room, -room, -room));
        QVERIFY2(mark.ringPixels >= cell.width(), qPrintable(QString::number(mark.ringPixels)));
        QCOMPARE(mark.contentPixels, 0);
    }

    void everyStopShowsItsFocus()
    {
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(2, m_server.baseUrl()))));
        SettingsView* sheet = openSheet();
        QTRY_COMPARE(cellCount(sheet), 2);
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(sheet), QStringList());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ScreenFixtures::renderBothSchemes(sheet, QStringLiteral("settings-focus"));
    }

    void schemeColours_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void schemeColours()
    {
        QFETCH(bool, dark);
        m_server.setRoute(kListPath, FixtureResponse::json(appsList(numberedApps(1, m_server.baseUrl()))));
        ScreenFixtures::applyScheme(dark ? ColorScheme::Light : ColorScheme::Dark);
        SettingsView* sheet = openSheet();
        QTRY_COMPARE(cellCount(sheet), 1);
        // Switched while the sheet is up: everything follows.
        ScreenFixtures::applyScheme(dark ? ColorScheme::Dark : ColorScheme::Light);
        QCoreApplication::processEvents();
        const QImage image = sheet->grab().toImage();
        QVERIFY(ScreenFixtures::saveRender(image, dark ? QStringLiteral("settings-dark") : QStringLiteral("settings-light")));
        const ColorScheme scheme = dark ? ColorScheme::Dark : ColorScheme::Light;
        const qreal ratio = image.devicePixelRatio();
        const auto pixel = [&image, ratio, sheet](const QWidget* widget, QPoint at) {
            return image.pixelColor(widget->mapTo(sheet, at) * ratio);
        };

        // The page lies on the window's grey, which the desktop palette's
        // base colour is not, and the white (or near-black) cards stand out on it.
        const QColor page = SemanticColors::windowBackground(scheme);
        const QWidget* viewport = sheet->scrollArea()->viewport();
        QCOMPARE(pixel(viewport, QPoint(SettingsView::horizontalInset / 2, 12)), page);
        QCOMPARE(pixel(viewport, QPoint(viewport->width() / 2, viewport->height() - 4)), page);
        for (SettingsCard* section : sheet->sections()) {
            QCOMPARE(pixel(section->card(), QPoint(section->card()->width() / 2, 4)),
                     SemanticColors::controlBackground(scheme));

            // Each section title's inked pixels are the secondary label colour
            // on the page, never darker (or lighter) than it.
            const auto* header = section->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(header && header->text() == section->title());
            const QColor secondary = SemanticColors::secondary(scheme);
            const int expected = qGray(page.rgb())
                                 + qRound(secondary.alphaF() * (qGray(secondary.rgb()) - qGray(page.rgb())));
            int inkiest = qGray(page.rgb());
            for (int y = 0; y < header->height(); ++y)
                for (int x = 0; x < header->width(); ++x) {
                    const int gray = qGray(pixel(header, QPoint(x, y)).rgb());
                    inkiest = dark ? std::max(inkiest, gray) : std::min(inkiest, gray);
                }
            QVERIFY2(std::abs(inkiest - expected) <= 12,
                     qPrintable(QStringLiteral("%1: %2, not %3").arg(header->text()).arg(inkiest).arg(expected)));
        }

        // The name is drawn in white in dark, in black in light.
        const QRect name = cellRect(sheet, 0).adjusted(0, SettingsView::appIconSize + 1, 0, 0);
        const QImage names = sheet->appsGrid()->viewport()->grab(name).toImage();
        bool nameColourSeen = false;
        for (int y = 0; y < names.height() && !nameColourSeen; ++y)
            for (int x = 0; x < names.width() && !nameColourSeen; ++x)
                nameColourSeen = names.pixelColor(x, y) == (dark ? QColor(Qt::white) : QColor(Qt::black));
        QVERIFY(nameColourSeen);
    }
};

QTEST_MAIN(SettingsViewTest)
#include "SettingsViewTest.moc"
