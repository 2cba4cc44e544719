#include "Services/Network/ConnectivityStatus.h"
#include "Services/Support/AlertHelper.h"
#include "Services/Support/MailComposer.h"
#include "toasts/styles/AnyToastStyle.h"
#include "toasts/values/ToastPresentedAlignment.h"

#include "platform/TextStyle.h"

#include <QLabel>
#include <QVBoxLayout>
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

    void loadingToastIsALabelWithASpinnerForItsIcon()
    {
        const Toast loading = AlertHelper::loadingToast(QStringLiteral("Loading reviews"));
        QCOMPARE(loading.configuration.role, ToastRole::informational);
        QCOMPARE(loading.configuration.duration.rawValue(), 4.0);
        // Drawn as a symbol's label is: the icon 24 wide, 12 before the
        // title, which is in title3.
        QWidget root;
        Environment::set(&root, ToastPresentedAlignmentEnvironmentKey::key(),
            std::optional(ToastAlignment::topTrailing()));
        (new QVBoxLayout(&root))->addWidget(makeToastWidget(loading, &root));
        root.show();
        auto* icon = root.findChild<QWidget*>(QStringLiteral("ToastIcon"));
        auto* title = root.findChild<QLabel*>(QStringLiteral("ToastContent"));
        QVERIFY(icon && title);
        QCOMPARE(title->text(), QStringLiteral("Loading reviews"));
        QCOMPARE(icon->size(), QSize(24, 24));
        QCOMPARE(title->geometry().left() - icon->geometry().right() - 1, 12);
        QCOMPARE(QFontInfo(title->font()).pixelSize(), QFontInfo(platformFont(TextStyle::Title3)).pixelSize());
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

QTEST_MAIN(DormantServicesTest)
#include "DormantServicesTest.moc"
