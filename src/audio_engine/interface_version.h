#pragma once

namespace kavelune::engine {

struct InterfaceVersion {
    int major = 0;
    int minor = 0;
};

// The version of the command and notification interface this engine offers.
inline constexpr InterfaceVersion kInterfaceVersion{3, 8};

inline InterfaceVersion interfaceVersion() { return kInterfaceVersion; }

}  // namespace kavelune::engine
