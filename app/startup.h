#pragma once

#include <cstdint>

#include "input/seam.h"

// StartHello: five constant bytes that tell a peer the hub has started.
inline constexpr uint8_t start_hello[5] = {0x01, 0x03, 0x02, 0x6F, 0x00};

// Greets the axis peer and then the feeder peer with StartHello. Nothing is retried and a
// failed send is ignored: a peer that is not running yet learns of the hub from its datagrams.
void greet_peers(Seam& seam);
