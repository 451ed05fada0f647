// The helper that runs programs for the whole-program and package tests.
#include "tests/support/Shell.h"

#include <gtest/gtest.h>

#include <csignal>

TEST(Shell, ABareNameLeavesOnlyThatVariableOutOfTheChildsEnvironment) {
    const shell::Output run =
        shell::Capture({{"sh", "-c", "echo \"${HOME-unset} ${LUMENVALE_SHELL_TEST-unset} $PATH\""},
                        {"HOME", "LUMENVALE_SHELL_TEST=set"}});
    ASSERT_EQ(run.status, 0) << run.output;
    const char* path = std::getenv("PATH");
    EXPECT_EQ(run.output, std::string("unset set ") + (path != nullptr ? path : "") + "\n");
}

TEST(Shell, AChildReapedBeforeItsWaitEndsTheCaptureWithAnUnknownStatus) {
    // With SIGCHLD ignored the system reaps the child itself, and waitpid fails with ECHILD.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGCHLD, &ignore, &previous), 0);
    const shell::Output run = shell::Capture({{"sh", "-c", "echo out"}});
    sigaction(SIGCHLD, &previous, nullptr);
    EXPECT_EQ(run.output, "out\n");
    EXPECT_EQ(run.status, -1);
}
