#include "toasts/values/Toast.h"

#include "toasts/values/ToastStringTable.h"

Toast Toast::verbatim(const QString& title, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::title(title)});
}

Toast Toast::localized(const char* key, ToastRole role, ToastDuration duration)
{
    return verbatim(ToastStringTable::text(key), role, duration);
}

Toast Toast::localized(const ToastStringResource& title, ToastRole role, ToastDuration duration)
{
    return verbatim(title.text(), role, duration);
}

Toast Toast::withSymbol(const QString& title, const QString& symbol, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::label(title, symbol)});
}

Toast Toast::localizedWithSymbol(const char* key, const QString& symbol, ToastRole role, ToastDuration duration)
{
    return withSymbol(ToastStringTable::text(key), symbol, role, duration);
}

Toast Toast::withSymbol(const ToastStringResource& title, const QString& symbol, ToastRole role, ToastDuration duration)
{
    return withSymbol(title.text(), symbol, role, duration);
}

Toast Toast::withImage(const QString& title, const QString& image, ToastRole role, ToastDuration duration)
{
    return withImage(title, ToastImageResource::named(image), role, duration);
}

Toast Toast::localizedWithImage(const char* key, const QString& image, ToastRole role, ToastDuration duration)
{
    return withImage(ToastStringTable::text(key), image, role, duration);
}

Toast Toast::withImage(const ToastStringResource& title, const QString& image, ToastRole role, ToastDuration duration)
{
    return withImage(title.text(), image, role, duration);
}

Toast Toast::withImage(const QString& title, const ToastImageResource& image, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::imageLabel(title, image.path())});
}

Toast Toast::localizedWithImage(const char* key, const ToastImageResource& image, ToastRole role, ToastDuration duration)
{
    return withImage(ToastStringTable::text(key), image, role, duration);
}

Toast Toast::withImage(
    const ToastStringResource& title, const ToastImageResource& image, ToastRole role, ToastDuration duration)
{
    return withImage(title.text(), image, role, duration);
}

Toast Toast::withProgressIndicator(const QString& title, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::progressLabel(title)});
}

Toast Toast::labeledContent(const QString& title, const QString& subtitle, ToastRole role, ToastDuration duration)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::labeledContent(title, subtitle)});
}

Toast Toast::custom(ToastRole role, ToastDuration duration, ToastContent::Factory factory)
{
    return Toast(ToastConfiguration{role, duration, ToastContent::custom(std::move(factory))});
}
