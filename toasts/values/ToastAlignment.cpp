#include "toasts/values/ToastAlignment.h"

#include <array>
#include <utility>

QString ToastAlignment::description() const
{
    static constexpr std::array<std::pair<ToastAlignment, const char*>, 9> named{{
        {topLeading(), "topLeading"},
        {top(), "top"},
        {topTrailing(), "topTrailing"},
        {leading(), "leading"},
        {center(), "center"},
        {trailing(), "trailing"},
        {bottomLeading(), "bottomLeading"},
        {bottom(), "bottom"},
        {bottomTrailing(), "bottomTrailing"},
    }};
    for (const auto& [alignment, name] : named) {
        if (alignment == *this)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("custom(") + Edges::description(m_rawValue) + QLatin1Char(')');
}
