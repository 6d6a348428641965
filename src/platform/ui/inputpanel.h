#pragma once
#include <functional>

// The on-screen keyboard (the handheld's input panel).
namespace platform {

constexpr unsigned SIPF_OFF = 0x0, SIPF_ON = 0x1;

// Reads the panel's flags; false when the state cannot be read.
bool getInputPanelFlags(unsigned *flags);
// Sets the flags (SIPF_ON shows the keyboard through QInputMethod).
bool setInputPanelFlags(unsigned flags);

// Tests observe and answer panel requests.
struct InputPanelHooks {
    std::function<bool(unsigned *flags)> get;
    std::function<bool(unsigned flags)> set;
};
void setInputPanelHooks(InputPanelHooks hooks); // empty hooks: the real panel

} // namespace platform
