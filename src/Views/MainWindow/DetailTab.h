#pragma once

#include <QList>
#include <QString>

// The tabs of the detail area of a selected app.
enum class DetailTab { ranks, appRanks, monetization };

const QList<DetailTab>& allDetailTabs();
QString label(DetailTab tab);
// The symbol shown beside the label; empty when the tab has none.
QString symbolName(DetailTab tab);
