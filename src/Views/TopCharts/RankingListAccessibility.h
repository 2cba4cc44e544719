#pragma once

#include "Views/TopCharts/RankingRow.h"

class QModelIndex;
class RankingListView;

// What assistive technology finds in a chart list. The rows draw their add
// button and store link themselves, so Qt knows nothing of them; here the
// list is a list of rows, each read as "#<rank> <name>", and every control a
// row offers is a child of it with the name a user hears ("Add <name> to
// Plovera") and a press action that does what a click does.
//
// Installs the factory that gives each RankingListView this interface; once
// per process, as the first list is made.
void installRankingListAccessibility();

// Tells assistive technology that the keyboard is on `control` of the row at
// `index`, so that the control is spoken, not only the row.
void announceRankingControlFocus(RankingListView* view, const QModelIndex& index, RankingRow::Control control);
