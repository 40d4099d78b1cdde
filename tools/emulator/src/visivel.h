// What the emulator programs show of a frame: printable ASCII as it is, every other byte as \xHH.
#pragma once

#include <cstdio>
#include <string>

namespace emulador {

inline std::string Visivel(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f) {
            r += static_cast<char>(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

}  // namespace emulador
