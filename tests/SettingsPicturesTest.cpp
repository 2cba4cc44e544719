#include "Views/SettingsView/AppsListModel.h"
#include "Views/SettingsView/PageScrollArea.h"
#include "Views/SettingsView/SettingsView.h"
#include "support/FixtureServer.h"
#include "support/PictureScreens.h"
#include "platform/RemoteImageCache.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollBar>
#include <QtTest>

#include <memory>

// The settings sheet at its top and at the maker's apps, compared with the approved pictures.
class SettingsPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        qputenv("PLOVERA_MAKER_URL", m_server.baseUrl().toString().toUtf8());
        m_server.setHandler(ScreenFixtures::iconHandler({QStringLiteral("tally")}, 128));
        QJsonArray apps;
        int order = 0;
        for (const char* name : {"Quillmark", "Field Notes", "Tally", "Harbor Weather", "Pocket Ledger"}) {
            const QString slug = QString::fromLatin1(name).toLower().split(QLatin1Char(' ')).constFirst();
            apps.append(QJsonObject{{"name", name},
                                    {"link", QStringLiteral("https://vantorel.com/%1").arg(slug)},
                                    {"icon", m_server.baseUrl().toString() + QStringLiteral("/icons/%1.png").arg(slug)},
                                    {"is_new", false},
                                    {"order", ++order}});
        }
        m_server.setRoute(QStringLiteral("/resources/apps.json"),
                          FixtureResponse::json(QJsonDocument(QJsonObject{{"version", "1"}, {"apps", apps}})
                                                    .toJson(QJsonDocument::Compact)));
    }

    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        ScreenFixtures::applyScheme(ColorScheme::Light);
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(1000, 800);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowActive(m_owner.get()));
    }

    void cleanup()
    {
        m_owner.reset();
        ScreenFixtures::resetScheme();
    }

    void top()
    {
        openSheet();
        if (QTest::currentTestFailed())
            return;
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_sheet, QStringLiteral("settings-top")));
    }

    void appsGrid()
    {
        openSheet();
        if (QTest::currentTestFailed())
            return;
        QScrollBar* bar = m_sheet->scrollArea()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_sheet, QStringLiteral("settings-apps")));
    }

private:
    // The sheet over its window with the maker's apps and their icons in (one
    // icon is missing and keeps its placeholder).
    void openSheet()
    {
        m_sheet = new SettingsView(m_owner.get());
        m_sheet->resize(620, 720);
        m_sheet->open();
        QVERIFY(QTest::qWaitForWindowActive(m_sheet));
        AppsListModel* apps = m_sheet->appsModel();
        QTRY_COMPARE(apps->rowCount(), 5);
        for (const int row : {0, 1, 3, 4})
            QTRY_VERIFY(!apps->icon(row).isNull());
        QTRY_COMPARE(RemoteImageCache::shared()->inFlightCount(), 0);
    }

    FixtureServer m_server;
    std::unique_ptr<QWidget> m_owner;
    SettingsView* m_sheet = nullptr; // the owner's
};

PICTURE_TEST_MAIN(SettingsPicturesTest)
#include "SettingsPicturesTest.moc"
