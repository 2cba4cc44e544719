#include "Services/Network/ConnectivityStatus.h"
#include "Services/Support/EmailService.h"
#include "Services/Support/MailComposer.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::optional<EmailService::EmailError>)

class DormantServicesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        MailComposer::setDesktopForTesting(std::nullopt);
    }

    void connectivityRawValuesRoundTripExactly()
    {
        for (const auto status : {ConnectivityStatus::connected, ConnectivityStatus::disconnected,
                                  ConnectivityStatus::requiresConnection})
            QCOMPARE(connectivityStatusFromRawValue(rawValue(status)), std::optional(status));
        for (const char* raw : {"connected", "requiresConnection", ""})
            QVERIFY2(!connectivityStatusFromRawValue(QLatin1String(raw)), raw);
    }

    void mailtoEncodesSubjectAndBody()
    {
        const QString body = QStringLiteral("App: Plovera 1.0.0\nDevice: x86_64\nOS: Debian 12 & more?\nLocale: de_DE+x=1#ü");
        const QUrl url = MailComposer::mailtoURL(QStringLiteral("support@vantorel.com"), QStringLiteral("Support"), body);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.toEncoded(),
                 QByteArray("mailto:support@vantorel.com?subject=Support&body=App%3A%20Plovera%201.0.0%0ADevice%3A%20x86_64"
                            "%0AOS%3A%20Debian%2012%20%26%20more%3F%0ALocale%3A%20de_DE%2Bx%3D1%23%C3%BC"));
        // What a mail program reads back is the body exactly.
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), body);
    }

    void composeOutcomes_data()
    {
        QTest::addColumn<bool>("hasProgram");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<std::optional<EmailService::EmailError>>("expected");
        QTest::addColumn<int>("openCalls");
        QTest::newRow("no mail program") << false << true
                                         << std::optional<EmailService::EmailError>(EmailService::EmailError::emailNotAvailable)
                                         << 0;
        QTest::newRow("mail program") << true << true << std::optional<EmailService::EmailError>() << 1;
        QTest::newRow("cannot perform") << true << false
                                        << std::optional<EmailService::EmailError>(EmailService::EmailError::cannotPerformEmail)
                                        << 1;
    }

    void composeOutcomes()
    {
        QFETCH(bool, hasProgram);
        QFETCH(bool, opens);
        QFETCH(std::optional<EmailService::EmailError>, expected);
        QFETCH(int, openCalls);

        QList<QUrl> opened;
        MailComposer::setDesktopForTesting(MailComposer::Desktop{
            [hasProgram] { return hasProgram; },
            [&opened, opens](const QUrl& url) {
                opened.append(url);
                return opens;
            },
        });
        const auto outcome = MailComposer::compose(QStringLiteral("support@vantorel.com"), QStringLiteral("Support"),
                                                   QStringLiteral("line one\nline two"));
        QCOMPARE(outcome, expected);
        QCOMPARE(opened.size(), openCalls);
        if (openCalls)
            QCOMPARE(opened.first(), MailComposer::mailtoURL(QStringLiteral("support@vantorel.com"),
                                                            QStringLiteral("Support"), QStringLiteral("line one\nline two")));
    }
};

QTEST_GUILESS_MAIN(DormantServicesTest)
#include "DormantServicesTest.moc"
