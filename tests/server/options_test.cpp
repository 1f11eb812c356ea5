// The command line: defaults, every switch, and what is refused.
#include "server/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::server {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args) { return ParseOptions(args); }

TEST(ParseOptions, DefaultsToTheLaunchersPortOnLoopback) {
  const ParsedOptions p = Parse({"--root", "r", "--data", "d"});
  ASSERT_TRUE(p.options.has_value()) << p.error;
  EXPECT_EQ(p.options->root, "r");
  EXPECT_EQ(p.options->data, "d");
  EXPECT_EQ(p.options->port, 5150);
  EXPECT_EQ(p.options->bind, "127.0.0.1");
}

TEST(ParseOptions, EverySwitch) {
  const ParsedOptions p = Parse({"--root",
                                 "r",
                                 "--data",
                                 "d",
                                 "--port",
                                 "0",
                                 "--bind",
                                 "127.0.0.2",
                                 "--log",
                                 "s.log",
                                 "--stop-file",
                                 "stop",
                                 "--exit-after-seconds",
                                 "30",
                                 "--refuse-qualification",
                                 "--mark-answers",
                                 "--delay-ms",
                                 "1500",
                                 "--drop-after",
                                 "1000",
                                 "--short-announce",
                                 "10",
                                 "--never-answer",
                                 "--fault-scope",
                                 "requests",
                                 "--fault-limit",
                                 "2",
                                 "--never-accept"});
  ASSERT_TRUE(p.options.has_value()) << p.error;
  const Options& o = *p.options;
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.bind, "127.0.0.2");
  EXPECT_EQ(o.log, "s.log");
  EXPECT_EQ(o.stop_file, "stop");
  EXPECT_EQ(o.exit_after_seconds, 30u);
  EXPECT_TRUE(o.faults.refuse_qualification);
  EXPECT_TRUE(o.faults.mark_answers);
  EXPECT_TRUE(o.faults.never_answer);
  EXPECT_EQ(o.faults.delay_ms, 1500u);
  EXPECT_EQ(o.faults.drop_after, 1000u);
  EXPECT_EQ(o.faults.short_announce, 10u);
  EXPECT_EQ(o.faults.scope, FaultScope::kRequests);
  EXPECT_EQ(o.faults.limit, 2u);
  EXPECT_TRUE(o.never_accept);
}

TEST(ParseOptions, Refusals) {
  const std::vector<std::vector<std::string_view>> refused = {
      {"--data", "d"},  // no root
      {"--root", "r"},  // no data
      {"--root", "r", "--data", "d", "--port", "65536"},
      {"--root", "r", "--data", "d", "--port", "-1"},
      {"--root", "r", "--data", "d", "--port", "51x"},
      {"--root", "r", "--data", "d", "--port"},  // value missing
      {"--root", "r", "--data", "d", "--delay-ms", ""},
      {"--root", "r", "--data", "d", "--fault-scope", "some"},
      {"--root", "r", "--data", "d", "--frobnicate"},
      {"--root", "r", "--data", "d", "--bind", "localhost"},
      {"--root", "r", "--data", "d", "--bind", "127.0.0"},
      {"--root", "r", "--data", "d", "--bind", "127.0.0.256"},
      {"--root", "r", "--data", "d", "--bind", "0.0.0.0"},  // every interface
      {"--root", "r", "--data", "d", "--bind", "192.168.1.10"},
  };
  for (const auto& args : refused) {
    std::string line;
    for (auto a : args) line += std::string(a) + " ";
    SCOPED_TRACE(line);
    const ParsedOptions p = Parse(args);
    EXPECT_FALSE(p.options.has_value());
    EXPECT_FALSE(p.error.empty());
  }
}

TEST(ParseOptions, OutsideLoopbackOnlyWhenAskedFor) {
  const ParsedOptions p =
      Parse({"--root", "r", "--data", "d", "--bind", "0.0.0.0", "--allow-non-loopback"});
  ASSERT_TRUE(p.options.has_value()) << p.error;
  EXPECT_EQ(p.options->bind, "0.0.0.0");
}

TEST(ParseIPv4, DottedQuads) {
  EXPECT_EQ(ParseIPv4("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(ParseIPv4("127.255.255.254"), 0x7FFFFFFEu);
  EXPECT_EQ(ParseIPv4("10.0.0.1"), 0x0A000001u);
  EXPECT_FALSE(ParseIPv4("1.2.3.4.5").has_value());
  EXPECT_FALSE(ParseIPv4("1..3.4").has_value());
  EXPECT_FALSE(ParseIPv4(" 1.2.3.4").has_value());
  EXPECT_FALSE(ParseIPv4("1.2.3.0004").has_value());
  EXPECT_TRUE(IsLoopback(*ParseIPv4("127.1.2.3")));
  EXPECT_FALSE(IsLoopback(*ParseIPv4("128.0.0.1")));
  EXPECT_FALSE(IsLoopback(*ParseIPv4("126.255.255.255")));
}

}  // namespace
}  // namespace velmora::server
