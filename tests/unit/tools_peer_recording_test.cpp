#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/peer/recording.h"

namespace {

// Each recording as the lines it reads back to, or "LINE: message" for the first bad line.
TEST(PeerRecording, ReadsGoodLinesAndNamesTheFirstBadOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"# header\n\n0 axis< 2a 80 2b 80 00\r\n  1.5 feeder> 01 01 # ready\n2.345\tremote<\t1F",
       "0.000 axis< 2a 80 2b 80 00  # x 128 y 128\n"
       "1.500 feeder> 01 01  # ready\n"
       "2.345 remote< 1f  # unknown 1 bytes: 1f\n"},
      {"7.000 feeder< # nothing", "7.000 feeder<  # unknown 0 bytes\n"},
      {"1.000 axis< 00\n0.999 axis< 00", "2: the time goes back (0.999 after 1.000)"},
      {"\n\n1,5 axis< 00", "3: '1,5' is not a time (seconds, at most three decimals: 12.345)"},
      {"1.2345 axis< 00", "1: '1.2345' is not a time (seconds, at most three decimals: 12.345)"},
      {"1. axis< 00", "1: '1.' is not a time (seconds, at most three decimals: 12.345)"},
      {"1000000000 axis< 00",
       "1: '1000000000' is not a time (seconds, at most three decimals: 12.345)"},
      {"0123456789012345678\x07xy axis<",
       "1: '0123456789012345678\\x07...' is not a time (seconds, at most three decimals: 12.345)"},
      {"1.0",
       "1: the peer is missing after the time (axis<, feeder<, feeder>, remote< or remote>)"},
      {"1.0 axis> 00", "1: unknown peer 'axis>' (axis<, feeder<, feeder>, remote< or remote>)"},
      {"1.0 feeder 00", "1: unknown peer 'feeder' (axis<, feeder<, feeder>, remote< or remote>)"},
      {"1.0 feeder< 1", "1: '1' is not a byte (two hexadecimal digits, like 0f)"},
      {"1.0 feeder< 0g", "1: '0g' is not a byte (two hexadecimal digits, like 0f)"},
      {"1.0 feeder< 15 80,", "1: '80,' is not a byte (two hexadecimal digits, like 0f)"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    std::vector<RecordedDatagram> datagrams;
    RecordingError error;
    std::string got;
    if (parse_recording(text, datagrams, error))
      for (const RecordedDatagram& d : datagrams)
        got += recording_line(d) + "\n";
    else
      got = std::to_string(error.line) + ": " + error.message;
    EXPECT_EQ(got, expected);
  }
}

TEST(PeerRecording, TakesAtMostTheLargestDatagram) {
  std::string line = "0 remote>";
  for (size_t i = 0; i <= max_recorded_bytes; ++i)
    line += " 20";
  std::vector<RecordedDatagram> datagrams;
  RecordingError error;
  EXPECT_FALSE(parse_recording(line, datagrams, error));
  EXPECT_EQ(error.message, "more than 2048 bytes");
  line.resize(line.size() - 3);
  ASSERT_TRUE(parse_recording(line, datagrams, error));
  EXPECT_EQ(datagrams.at(0).bytes.size(), max_recorded_bytes);
}

// The hub's reading of what arrives at its port: a message every three bytes, nothing after
// a remote input.
TEST(PeerRecording, FindsTheReadyMessageAsTheHubDoes) {
  const std::pair<std::vector<uint8_t>, bool> cases[] = {
      {{0x01, 0x01}, true},
      {{0x01, 0x02, 0x00, 0x01, 0x01}, true},
      {{0x01, 0x02, 0x01, 0x01}, false},
      {{0x20, 0x01, 0x01}, false},
      {{0x00, 0x01, 0x01}, true},
      {{0x01}, false},
  };
  for (const auto& [bytes, ready] : cases) {
    SCOPED_TRACE(hex_bytes(bytes.data(), bytes.size()));
    EXPECT_EQ(carries_message(bytes.data(), bytes.size(), kind_feeder_ready), ready);
  }
}

// As the hub, a replay sends the feeder nothing but StartHello before its ready message.
TEST(PeerRecording, HoldsAllButStartHelloToTheFeederUntilReady) {
  std::vector<RecordedDatagram> datagrams;
  RecordingError error;
  ASSERT_TRUE(parse_recording("0 feeder< 01 03 02 6f 00\n0 feeder< 01 00\n0 feeder< 64 00\n"
                              "0 feeder< 01 02\n0 axis< 2a 80 2b 80 00\n0 remote< 01 02\n"
                              "0 feeder> 01 01",
                              datagrams, error));
  std::vector<bool> held;
  for (const RecordedDatagram& d : datagrams)
    held.push_back(waits_for_ready(d));
  EXPECT_EQ(held, (std::vector<bool>{false, true, true, true, false, false, false}));
}

} // namespace
