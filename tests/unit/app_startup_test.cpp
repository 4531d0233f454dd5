#include <gtest/gtest.h>

#include <vector>

#include "app/startup.h"
#include "fake_seam.h"
#include "net/endpoint.h"

namespace {

TEST(StartHello, GoesToTheAxisPeerAndThenTheFeederEvenWhenSendsFail) {
  const std::vector<uint8_t> hello = {0x01, 0x03, 0x02, 0x6F, 0x00};
  for (const bool works : {true, false}) {
    SCOPED_TRACE(works);
    FakeSeam seam;
    seam.send_result = works;
    greet_peers(seam);
    ASSERT_EQ(seam.sent.size(), 2u);
    EXPECT_EQ(seam.sent[0].to.port, axis_peer_port);
    EXPECT_EQ(seam.sent[1].to.port, feeder_peer_port);
    for (const auto& d : seam.sent) {
      EXPECT_EQ(d.to.ipv4, loopback_ipv4);
      EXPECT_EQ(d.bytes, hello);
    }
    EXPECT_TRUE(seam.exits.empty());
  }
}

} // namespace
