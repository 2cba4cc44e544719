#pragma once

#include "platform/SemanticColors.h"

#include <functional>

// A colour given for each scheme, so that what is drawn in it can be
// recoloured when the scheme changes under it.
using SchemeColor = std::function<QColor(ColorScheme)>;
