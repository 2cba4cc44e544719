#include "toasts/styles/ToastLabeledContentStyle.h"

#include "toasts/values/ToastPresentedAlignment.h"
#include "toasts/styles/ToastTitleLabel.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
QLabel* styledText(const QString& text, const QString& id, TextStyle style, QWidget* parent)
{
    auto* label = new ToastTitleLabel(text, parent);
    label->setObjectName(id);
    label->setTextFormat(Qt::PlainText);
    label->setFont(platformFont(style));
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

QWidget* ToastLabeledContentStyle::makeBody(const QString& title, const QString& subtitle, QWidget* parent) const
{
    const bool centred = isCentredPresentation(parent);
    auto* body = new QWidget(parent);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(QMargins());
    layout->setSpacing(centred ? 8 : 4);
    const Qt::Alignment alignment = centred ? Qt::AlignHCenter : Qt::AlignLeft;
    QLabel* titleLabel
        = styledText(title, QStringLiteral("ToastTitle"), centred ? TextStyle::Title : TextStyle::Title3, body);
    QLabel* subtitleLabel = styledText(subtitle, QStringLiteral("ToastSubtitle"),
                                       centred ? TextStyle::Title3 : TextStyle::Callout, body);
    layout->addWidget(titleLabel, 0, alignment);
    layout->addWidget(subtitleLabel, 0, alignment);
    onColorSchemeChange(body, [titleLabel, subtitleLabel](ColorScheme scheme) {
        setTextColour(titleLabel, SemanticColors::primary(scheme));
        setTextColour(subtitleLabel, SemanticColors::secondary(scheme));
    });
    return body;
}
