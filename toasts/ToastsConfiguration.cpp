#include "toasts/ToastsConfiguration.h"

ToastsConfiguration& ToastsConfiguration::shared()
{
    static ToastsConfiguration configuration;
    return configuration;
}
