#include "toasts/styles/ToastLabelStyle.h"

#include "toasts/values/ToastImageResource.h"
#include "toasts/values/ToastPresentedAlignment.h"
#include "toasts/styles/ToastTitleLabel.h"

#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QBoxLayout>
#include <QLabel>

QWidget* ToastLabelStyle::makeBody(
    const QString& title, const QString& symbol, QWidget* parent, const QString& imagePath) const
{
    const bool centred = isCentredPresentation(parent);
    auto* body = new QWidget(parent);
    QBoxLayout* layout = centred ? static_cast<QBoxLayout*>(new QVBoxLayout(body))
                                 : static_cast<QBoxLayout*>(new QHBoxLayout(body));
    layout->setSpacing(centred ? 24 : 12);
    layout->setContentsMargins(centred ? QMargins(12, 12, 12, 12) : QMargins());

    const int size = centred ? largeIconSize : iconSize;
    auto* icon = new QLabel(body);
    icon->setObjectName(QStringLiteral("ToastIcon"));
    const qreal ratio = parent ? parent->devicePixelRatioF() : 1.0;
    if (imagePath.isEmpty()) {
        icon->setPixmap(symbolPixmap(symbol, accentColor, size, ratio));
    } else {
        // A missing image leaves the title on its own.
        const QPixmap image = ToastImageResource(imagePath).pixmap(size, ratio);
        icon->setPixmap(image);
        if (image.isNull())
            icon->hide();
    }
    icon->setFixedSize(size, size);

    auto* text = new ToastTitleLabel(title, body);
    text->setObjectName(QStringLiteral("ToastContent"));
    text->setFont(platformFont(centred ? TextStyle::Title : TextStyle::Title3));
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, SemanticColors::primary(colorScheme(parent)));
    text->setPalette(palette);

    const Qt::Alignment alignment = centred ? Qt::AlignHCenter : Qt::AlignVCenter;
    layout->addWidget(icon, 0, alignment);
    layout->addWidget(text, 0, alignment);
    return body;
}
