#include "toasts/values/ToastImageResource.h"

#include <QFileInfo>
#include <QIcon>

ToastImageResource ToastImageResource::named(const QString& name)
{
    const QString path = name.startsWith(QLatin1String(":/")) ? name : QStringLiteral(":/") + name;
    for (const QString& candidate : {path, path + QStringLiteral(".png"), path + QStringLiteral(".svg")}) {
        if (QFileInfo(candidate).isFile())
            return ToastImageResource(candidate);
    }
    return ToastImageResource(path);
}

bool ToastImageResource::exists() const
{
    return !m_path.isEmpty() && QFileInfo(m_path).isFile();
}

QPixmap ToastImageResource::pixmap(int size, qreal devicePixelRatio) const
{
    if (!exists())
        return {};
    // Through an icon so that vector images render sharp at any size.
    return QIcon(m_path).pixmap(QSize(size, size), devicePixelRatio);
}
