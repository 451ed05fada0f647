// Running shell commands from the tests that drive whole programs and packages.
#pragma once

#include <cstdlib>
#include <string>

namespace shell {

// `text` as one word for the shell, whatever it holds.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Whether the command ran and succeeded.
inline bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace shell
