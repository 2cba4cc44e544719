#include "toasts/values/ToastContent.h"

ToastContent ToastContent::title(QString text)
{
    return ToastContent(Data{Kind::title, Icon::none, std::move(text), {}, {}, {}, {}});
}

ToastContent ToastContent::label(QString title, QString symbol)
{
    return ToastContent(Data{Kind::label, Icon::symbol, std::move(title), std::move(symbol), {}, {}, {}});
}

ToastContent ToastContent::imageLabel(QString title, QString imagePath)
{
    return ToastContent(Data{Kind::label, Icon::image, std::move(title), {}, {}, {}, std::move(imagePath)});
}

ToastContent ToastContent::progressLabel(QString title)
{
    return ToastContent(Data{Kind::label, Icon::progressIndicator, std::move(title), {}, {}, {}, {}});
}

ToastContent ToastContent::labeledContent(QString title, QString subtitle)
{
    return ToastContent(Data{Kind::labeledContent, Icon::none, std::move(title), {}, std::move(subtitle), {}, {}});
}

ToastContent ToastContent::custom(Factory factory)
{
    return ToastContent(Data{Kind::custom, Icon::none, {}, {}, {}, std::move(factory), {}});
}

const ToastContent::Factory& ToastContent::factory() const
{
    static const Factory none;
    return m_data ? m_data->factory : none;
}
