#include "platform/LinkOpener.h"

#include <QDesktopServices>

namespace {
std::function<bool(const QUrl&)>& testOpener()
{
    static std::function<bool(const QUrl&)> opener;
    return opener;
}
} // namespace

bool isOpenableLink(const QUrl& url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return true;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

bool openLink(const QUrl& url)
{
    if (!isOpenableLink(url))
        return false;
    if (testOpener())
        return testOpener()(url);
    return QDesktopServices::openUrl(url);
}

void setLinkOpenerForTesting(std::function<bool(const QUrl&)> opener)
{
    testOpener() = std::move(opener);
}
