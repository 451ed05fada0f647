// A test of something a machine may lack (a package a script makes, a tool, a virtual display)
// skips without it, unless the variable scripts/test sets for its kind of test (such as
// LUMENVALE_REQUIRE_PACKAGE) is 1. Macros, as FAIL and GTEST_SKIP end the test's own function.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/Shell.h"

#define SKIP_OR_FAIL(variable, reason)                                              \
    do {                                                                            \
        const char* required = std::getenv(variable);                               \
        if (required != nullptr && std::string(required) == "1") {                  \
            FAIL() << reason;                                                       \
        }                                                                           \
        GTEST_SKIP() << reason << " (" << (variable) << "=1 makes this a failure)"; \
    } while (false)

#define REQUIRE_TOOL(variable, tool)                                                            \
    do {                                                                                        \
        if (!shell::OnPath(tool)) {                                                             \
            SKIP_OR_FAIL(variable, tool << " is not installed (scripts/lib/setup.sh names its " \
                                           "package)");                                         \
        }                                                                                       \
    } while (false)
