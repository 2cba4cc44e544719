#include "Services/Network/ConnectivityStatus.h"
#include "Services/Support/MailComposer.h"

#include <QtTest>

class DormantServicesTest : public QObject {
    Q_OBJECT

private slots:
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
        QCOMPARE(url.toEncoded(),
                 QByteArray("mailto:support@vantorel.com?subject=Support&body=App%3A%20Plovera%201.0.0%0ADevice%3A%20x86_64"
                            "%0AOS%3A%20Debian%2012%20%26%20more%3F%0ALocale%3A%20de_DE%2Bx%3D1%23%C3%BC"));
        // What a mail program reads back is the body exactly.
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), body);
    }
};

QTEST_GUILESS_MAIN(DormantServicesTest)
#include "DormantServicesTest.moc"
