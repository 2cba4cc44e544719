#include "toasts/styles/ToastLabeledContentStyle.h"

#include "toasts/values/ToastPresentedAlignment.h"
#include "toasts/styles/ToastTitleLabel.h"

#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
QLabel* styledText(const QString& text, const QString& id, TextStyle style, const QColor& colour, QWidget* parent)
{
    auto* label = new ToastTitleLabel(text, parent);
    label->setObjectName(id);
    label->setTextFormat(Qt::PlainText);
    label->setFont(platformFont(style));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}
} // namespace

QWidget* ToastLabeledContentStyle::makeBody(const QString& title, const QString& subtitle, QWidget* parent) const
{
    const bool centred = isCentredPresentation(parent);
    const ColorScheme scheme = colorScheme(parent);
    auto* body = new QWidget(parent);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(QMargins());
    layout->setSpacing(centred ? 8 : 4);
    const Qt::Alignment alignment = centred ? Qt::AlignHCenter : Qt::AlignLeft;
    layout->addWidget(styledText(title, QStringLiteral("ToastTitle"), centred ? TextStyle::Title : TextStyle::Title3,
                                 SemanticColors::primary(scheme), body),
                      0, alignment);
    layout->addWidget(styledText(subtitle, QStringLiteral("ToastSubtitle"),
                                 centred ? TextStyle::Title3 : TextStyle::Callout, SemanticColors::secondary(scheme),
                                 body),
                      0, alignment);
    return body;
}
