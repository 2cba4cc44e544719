#include "Views/MainWindow/DetailTab.h"

#include <QCoreApplication>

const QList<DetailTab>& allDetailTabs()
{
    static const QList<DetailTab> tabs{DetailTab::ranks, DetailTab::appRanks, DetailTab::monetization};
    return tabs;
}

QString label(DetailTab tab)
{
    switch (tab) {
    case DetailTab::ranks:
        return QCoreApplication::translate("DetailTab", "Top Charts");
    case DetailTab::appRanks:
        return QCoreApplication::translate("DetailTab", "Rank Monitor");
    case DetailTab::monetization:
        return QCoreApplication::translate("DetailTab", "Monetization");
    }
    return {};
}

QString symbolName(DetailTab tab)
{
    switch (tab) {
    case DetailTab::ranks:
        return QStringLiteral("chart.bar.fill");
    case DetailTab::appRanks:
        return {};
    case DetailTab::monetization:
        return QStringLiteral("dollarsign.circle.fill");
    }
    return {};
}
