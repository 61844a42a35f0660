#pragma once

#include "office/designers.h"
#include "office/policies.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace office {

// What the office configured for the window: its designers and its check boxes' first state.
struct Configuration {
    Designers designers;
    std::optional<bool> genProp;
    std::optional<bool> rebuild;
    std::vector<std::wstring> warnings; // one for each setting not used, for the user
};

// Reads the office's policies at once, and from then on the designer list they name,
// while the caller connects to the CAD program. Reads, never writes.
class ConfigurationReading {
public:
    ConfigurationReading(HMODULE program, const PolicyPlaces &places);

    bool done() const { return designers_.done(); }
    // Whether the tool may start the CAD program, or uses only one that runs.
    bool startsCad() const { return policies_.startCad.value_or(true); }
    // Waits for the list a few seconds at most.
    Configuration take();

private:
    Policies policies_;
    DesignerReading designers_;
};

} // namespace office
