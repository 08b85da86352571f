#include <gtest/gtest.h>

#include "cli/cli_fixture.h"

using cli_fixture::RunCli;

TEST(CliFrame, UsageHelpAndExitCodes) {
  TempFolder folder;
  const auto bare = RunCli(folder, {});
  EXPECT_EQ(bare.status, 2);
  EXPECT_NE(bare.out.find("Usage: sonic-loom-cli COMMAND"), std::string::npos);

  const auto help = RunCli(folder, {"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"info", "sort", "convert"}) {
    EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    const auto commandHelp = RunCli(folder, {command, "--help"});
    EXPECT_EQ(commandHelp.status, 0) << command;
    EXPECT_EQ(commandHelp.out.rfind(std::string("Usage: sonic-loom-cli ") + command, 0), 0u) << command;
    EXPECT_TRUE(commandHelp.err.empty());
  }

  const auto unknown = RunCli(folder, {"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "sonic-loom-cli: unknown command 'frobnicate'\nTry 'sonic-loom-cli --help'.\n");

  const auto badOption = RunCli(folder, {"info", "--colour", "x.wav"});
  EXPECT_EQ(badOption.status, 2);
  EXPECT_EQ(badOption.err, "sonic-loom-cli info: unknown option '--colour'\nTry 'sonic-loom-cli info --help'.\n");
  EXPECT_TRUE(badOption.out.empty());

  EXPECT_EQ(RunCli(folder, {"info"}).status, 2);
  EXPECT_EQ(RunCli(folder, {"sort"}).status, 2);
  EXPECT_EQ(RunCli(folder, {"sort", "a", "b"}).status, 2);
  EXPECT_EQ(RunCli(folder, {"info", "--json=yes", "x.wav"}).status, 2);

  const auto version = RunCli(folder, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "sonic-loom-cli 2.27\n");
}
