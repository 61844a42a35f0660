#include "office/configuration.h"

#include <utility>

namespace office {

ConfigurationReading::ConfigurationReading(HMODULE program, const PolicyPlaces &places)
    : policies_(readPolicies(places)), designers_(program, policies_.designerList) {}

Configuration ConfigurationReading::take() {
    Configuration configuration{designers_.take(loggedInUser()), policies_.genProp,
                                policies_.rebuild, std::move(policies_.warnings)};
    if (!configuration.designers.warning.empty())
        configuration.warnings.push_back(configuration.designers.warning);
    return configuration;
}

} // namespace office
