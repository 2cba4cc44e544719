#include "toasts/styles/ToastLabelStyle.h"

#include "toasts/values/ToastImageResource.h"
#include "toasts/values/ToastPresentedAlignment.h"
#include "toasts/styles/ToastProgressIcon.h"
#include "toasts/styles/ToastTitleLabel.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QBoxLayout>
#include <QLabel>

QWidget* ToastLabelStyle::makeBody(const ToastContent& label, QWidget* parent) const
{
    const bool centred = isCentredPresentation(parent);
    auto* body = new QWidget(parent);
    QBoxLayout* layout = centred ? static_cast<QBoxLayout*>(new QVBoxLayout(body))
                                 : static_cast<QBoxLayout*>(new QHBoxLayout(body));
    layout->setSpacing(centred ? 24 : 12);
    layout->setContentsMargins(centred ? QMargins(12, 12, 12, 12) : QMargins());

    const int size = centred ? largeIconSize : iconSize;
    const qreal ratio = parent ? parent->devicePixelRatioF() : 1.0;
    QWidget* icon = nullptr;
    ToastProgressIcon* spinner = nullptr;
    QLabel* symbol = nullptr;
    if (label.icon() == ToastContent::Icon::progressIndicator) {
        icon = spinner = new ToastProgressIcon(size, accentColor(colorScheme(parent)), body);
    } else {
        auto* picture = new QLabel(body);
        if (label.icon() == ToastContent::Icon::image) {
            // A missing image leaves the title on its own.
            const QPixmap image = ToastImageResource(label.imagePath()).pixmap(size, ratio);
            picture->setPixmap(image);
            if (image.isNull())
                picture->hide();
        } else {
            symbol = picture;
        }
        picture->setFixedSize(size, size);
        icon = picture;
    }
    icon->setObjectName(QStringLiteral("ToastIcon"));

    auto* text = new ToastTitleLabel(label.titleText(), body);
    text->setObjectName(QStringLiteral("ToastContent"));
    text->setFont(platformFont(centred ? TextStyle::Title : TextStyle::Title3));
    onColorSchemeChange(body, [accent = accentColor, name = label.symbol(), size, ratio, spinner, symbol, text](
                                  ColorScheme scheme) {
        if (spinner)
            spinner->setTint(accent(scheme));
        if (symbol)
            symbol->setPixmap(symbolPixmap(name, accent(scheme), size, ratio));
        QPalette palette = text->palette();
        palette.setColor(QPalette::WindowText, SemanticColors::primary(scheme));
        text->setPalette(palette);
    });

    const Qt::Alignment alignment = centred ? Qt::AlignHCenter : Qt::AlignVCenter;
    layout->addWidget(icon, 0, alignment);
    layout->addWidget(text, 0, alignment);
    return body;
}
