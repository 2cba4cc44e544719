#pragma once

#include <QUrl>

#include <functional>

// Opens a link with the desktop. Only web and mail addresses are handed over;
// links built from network data must never start local programs or files.
bool openLink(const QUrl& url);

bool isOpenableLink(const QUrl& url);

// Replaces the desktop for tests; an empty function restores it.
void setLinkOpenerForTesting(std::function<bool(const QUrl&)> opener);
