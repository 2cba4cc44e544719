#include "toasts/engine/ToastsConfiguration.h"

ToastsConfiguration& ToastsConfiguration::shared()
{
    static ToastsConfiguration configuration;
    return configuration;
}
