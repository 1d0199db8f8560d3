// The exit statuses of a command line: a subcommand that throws is reported
// and gives status 1 instead of ending the program without a word.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace tavo::cli {
namespace {

int run(CLI::App& app, const int& exit_code, std::vector<std::string> args) {
    std::vector<char*> argv;
    argv.reserve(args.size());
    for (auto& a : args) argv.push_back(a.data());
    return parse_and_run(app, exit_code, static_cast<int>(argv.size()), argv.data());
}

TEST(ParseAndRun, StatusOfTheSubcommandUsageErrorAndAThrowingSubcommand) {
    CLI::App app{"test"};
    app.require_subcommand(1);
    int exit_code = 0;
    app.add_subcommand("ok")->callback([&] { exit_code = 1; });
    app.add_subcommand("throws")->callback([] { throw std::runtime_error("disk gone"); });
    app.add_subcommand("oom")->callback([] { throw std::bad_alloc(); });
    EXPECT_EQ(run(app, exit_code, {"tavo-cli", "ok"}), 1);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(app, exit_code, {"tavo-cli", "throws"}), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("disk gone"), std::string::npos);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(app, exit_code, {"tavo-cli", "oom"}), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("tavo-cli: error:"), std::string::npos);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(app, exit_code, {"tavo-cli", "nonsense"}), 2);
    (void)testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace tavo::cli
