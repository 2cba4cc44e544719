#include "Services/Settings/AppSettings.h"
#include "models/AppPlatform.h"
#include "Services/Log.h"
#include "models/StorefrontOption.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

namespace {
QStringList g_lines;
void capture(const QString& line)
{
    g_lines << line;
}

struct Sample {
    static constexpr int kLine = __LINE__ + 1;
    void method() { Log::warning(QStringLiteral("he said \"hi\"\nthen left\\")); }
};
} // namespace

class CatalogueBasicsTest : public QObject {
    Q_OBJECT

private slots:
    void storefrontTable()
    {
        const auto& all = StorefrontOption::all();
        for (qsizetype i = 1; i < all.size(); ++i)
            QVERIFY2(all.at(i - 1).code < all.at(i).code, qPrintable(all.at(i).code));
        for (const StorefrontOption& option : all)
            QCOMPARE(option.code, option.code.toUpper());
    }

    void optionFor_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lower") << "it" << "IT";
        QTest::newRow("mixed") << "gB" << "GB";
        QTest::newRow("kosovo") << "xk" << "XK";
        QTest::newRow("not in table") << "AQ" << "";
        QTest::newRow("three letters") << "USA" << "";
        QTest::newRow("padded") << " US" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8") << "";
    }
    void optionFor()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const auto option = StorefrontOption::option(input);
        QCOMPARE(option ? option->code : QString(), expected);
    }

    void flagEmoji_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("us") << "US" << QString::fromUtf8("\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8");
        QTest::newRow("lower with spaces") << "  it\n" << QString::fromUtf8("\xF0\x9F\x87\xAE\xF0\x9F\x87\xB9");
        // Any two letters make indicator symbols, table or not.
        QTest::newRow("not a storefront") << "AA" << QString::fromUtf8("\xF0\x9F\x87\xA6\xF0\x9F\x87\xA6");
        QTest::newRow("three letters") << "USA" << "";
        QTest::newRow("digits") << "12" << "";
        QTest::newRow("accented") << QString::fromUtf8("\xC3\x89S") << "";
        QTest::newRow("inner space") << "U S" << "";
        QTest::newRow("empty") << "" << "";
    }
    void flagEmoji()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(StorefrontOption::flagEmoji(input), expected);
    }

    void displayNames_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("customName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("KN") << "KN" << "" << QString::fromUtf8("St. Kitts & Nevis");
        QTest::newRow("XK") << "XK" << "" << "Kosovo";
        QTest::newRow("lower code") << "gb" << "" << "United Kingdom";
        QTest::newRow("unknown region") << "QZ" << "" << "QZ";
        QTest::newRow("custom name wins") << "US" << "Home" << "Home";
    }
    void displayNames()
    {
        QFETCH(QString, code);
        QFETCH(QString, customName);
        QFETCH(QString, expected);
        const StorefrontOption option{code, customName.isEmpty() ? std::nullopt : std::optional(customName)};
        QCOMPARE(option.displayName(), expected);
    }

    void orderings()
    {
        // Plain ordering is case-sensitive: lower case sorts after every capital.
        const StorefrontOption lower{QStringLiteral("US"), QStringLiteral("alpha")};
        const StorefrontOption upper{QStringLiteral("GB"), QStringLiteral("Zulu")};
        QVERIFY(StorefrontOption::displayNameOrder(upper, lower));
        QVERIFY(!StorefrontOption::displayNameOrder(lower, upper));
        QVERIFY(!StorefrontOption::displayNameOrder(upper, upper));

        QStringList codes{QStringLiteral("US"), QStringLiteral("AE"), QStringLiteral("DE"), QStringLiteral("AL")};
        StorefrontOption::sortCodesByRegionName(codes);
        QCOMPARE(codes, (QStringList{"AL", "DE", "AE", "US"})); // Albania, Germany, United Arab Emirates, United States
    }

    void platformRawValues()
    {
        for (AppPlatform platform : allAppPlatforms())
            QCOMPARE(appPlatformFromRawValue(rawValue(platform)), std::optional<AppPlatform>(platform));
        QVERIFY(!appPlatformFromRawValue(QStringLiteral("Software")));
    }

    void logLineFormat()
    {
        g_lines.clear();
        Log::setSinkForTesting(&capture);
        const int line = __LINE__ + 1;
        Log::info(QStringLiteral("hello"));
        Sample().method();
        Log::setSinkForTesting(nullptr);
        QCOMPARE(g_lines.size(), 2);
        QCOMPARE(g_lines.at(0), QStringLiteral("\"\u2139\uFE0F [CatalogueBasicsTest.cpp:%1] CatalogueBasicsTest::logLineFormat - hello\"").arg(line));
        // Quotes, backslashes and line breaks of the message are escaped: one event, one line.
        QCOMPARE(g_lines.at(1), QStringLiteral("\"\u26A0\uFE0F [CatalogueBasicsTest.cpp:%1] {anonymous}::Sample::method - he said \\\"hi\\\"\\nthen left\\\\\"").arg(Sample::kLine));
    }

    void shortFunctionNames_data()
    {
        QTest::addColumn<QString>("signature");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "void f()" << "f";
        QTest::newRow("member") << "QCoro::Task<void> MainView::addRankingApp(AppRanking, QString)" << "MainView::addRankingApp";
        QTest::newRow("template return") << "std::optional<std::pair<int, int> > A::b(int) const" << "A::b";
        QTest::newRow("static") << "static void Log::write(Log::Level, const QString&)" << "Log::write";
    }
    void shortFunctionNames()
    {
        QFETCH(QString, signature);
        QFETCH(QString, expected);
        QCOMPARE(Log::shortFunctionName(signature.toUtf8().constData()), expected);
    }

    void settingsSuiteRoundTrips()
    {
        UserDefaults::resetForTesting();
        QFile::remove(UserDefaults::suite(QStringLiteral("group.test.Suite"))->filePath());
        UserDefaults::resetForTesting();
        UserDefaults* suite = UserDefaults::suite(QStringLiteral("group.test.Suite"));
        QCOMPARE(UserDefaults::suite(QStringLiteral("group.test.Suite")), suite);
        QVERIFY(suite->boolValue(QStringLiteral("flag"), true));
        QSignalSpy changed(suite, &UserDefaults::valueChanged);
        suite->setValue(QStringLiteral("flag"), false);
        suite->setValue(QStringLiteral("flag"), false); // unchanged: no second signal
        QCOMPARE(changed.size(), 1);
        suite->setValue(QStringLiteral("one"), QStringList{QStringLiteral("US")});
        suite->setValue(QStringLiteral("many"), QStringList{QStringLiteral("US"), QStringLiteral("IT")});
        QVERIFY(suite->filePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));

        // A fresh instance reads what the first one wrote to disk.
        UserDefaults::resetForTesting();
        UserDefaults* reopened = UserDefaults::suite(QStringLiteral("group.test.Suite"));
        QVERIFY(!reopened->boolValue(QStringLiteral("flag"), true));
        QCOMPARE(reopened->stringList(QStringLiteral("one")), QStringList{QStringLiteral("US")});
        QCOMPARE(reopened->stringList(QStringLiteral("many")), (QStringList{"US", "IT"}));
        QVERIFY(reopened->stringList(QStringLiteral("absent")).isEmpty());
    }

    // A settings file that cannot be written leaves a line with the cause at
    // every save, or the welcome page comes back at every start unexplained.
    void unsavedSettingsAreLogged_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addColumn<QString>("cause");
        QTest::newRow("the file is a folder") << false << "Is a directory";
        QTest::newRow("the folder is a file") << true << "Not a directory";
    }
    void unsavedSettingsAreLogged()
    {
        QFETCH(bool, folderIsAFile);
        QFETCH(QString, cause);
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        const QString notAFolder = QString::fromUtf8(configHome) + QStringLiteral("/not-a-folder");
        UserDefaults::resetForTesting();
        const QString path = AppSettings::shared()->suite()->filePath();
        QFile::remove(path);
        const auto restore = qScopeGuard([&] {
            Log::setSinkForTesting(nullptr);
            qputenv("XDG_CONFIG_HOME", configHome);
            QFile::remove(notAFolder);
            QDir(path).removeRecursively();
            UserDefaults::resetForTesting();
        });
        if (folderIsAFile) {
            QFile file(notAFolder);
            QVERIFY(file.open(QIODevice::WriteOnly));
            qputenv("XDG_CONFIG_HOME", notAFolder.toUtf8());
        } else {
            QVERIFY(QDir().mkpath(path));
        }
        UserDefaults::resetForTesting();
        g_lines.clear();
        Log::setSinkForTesting(&capture);
        AppSettings* settings = AppSettings::shared();
        settings->setIsFirstTime(false);
        settings->setIsFirstTime(false);
        QCOMPARE(g_lines.size(), 2);
        for (const QString& line : std::as_const(g_lines))
            QVERIFY2(line.contains(QStringLiteral("AppSettings::setIsFirstTime - Could not save isFirstTime in ")
                                   + settings->suite()->filePath() + QStringLiteral(": ") + cause),
                     qPrintable(line));
        QVERIFY(!settings->isFirstTime()); // for this run

        if (!folderIsAFile) {
            // Once the file can be written, saves succeed without a line.
            QVERIFY(QDir(path).removeRecursively());
            settings->setIsFirstTime(false);
            QCOMPARE(g_lines.size(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(CatalogueBasicsTest)
#include "CatalogueBasicsTest.moc"
