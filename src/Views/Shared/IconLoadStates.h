#pragma once

#include "platform/RemoteImageView.h"

#include <QImage>
#include <QList>
#include <QSet>
#include <QUrl>

class QAbstractItemModel;

// The load state of a list model's remote icons, kept in the model rather than
// in a delegate so every view of the model sees the same state. A model holds
// one and asks it from data(); it is asked for, at most once per address, only
// when a row's icon is asked for, so a long list downloads only what is drawn.
class IconLoadStates {
public:
    // Success (with the image) once cached; Failure when the address is not a
    // supported web address or its download came to nothing; else Empty while
    // the download runs. When the download ends either way, `model` announces
    // `roles` for all its rows in one signal: a view repaints only what it
    // shows, where finding the rows with this address would cost a pass over
    // every row for each icon that arrives. `model` owns this object.
    RemoteImageView::Phase phase(const QAbstractItemModel* model, const QUrl& url, QImage* image,
                                 const QList<int>& roles);

private:
    QSet<QUrl> m_requested;
    QSet<QUrl> m_failed;
};
