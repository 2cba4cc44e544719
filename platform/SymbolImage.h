#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// System symbol names drawn with glyphs of our own, or with the desktop icon
// theme for the names that fit its look; those the application shows also
// have a glyph of ours for a desktop whose theme lacks them. Every result is
// tinted with one colour: the tint is laid over the symbol's alpha.

// A square pixmap of pointSize logical pixels. An unknown name gives a
// neutral placeholder glyph, never a null pixmap.
QPixmap symbolPixmap(const QString& name, const QColor& tint, int pointSize,
                     qreal devicePixelRatio = 1.0);

// An icon that renders the symbol at whatever size it is asked for.
QIcon symbolIcon(const QString& name, const QColor& tint);

// Whether the name is known and something other than the placeholder shows.
bool hasSymbol(const QString& name);
