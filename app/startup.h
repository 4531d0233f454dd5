#pragma once

#include <cstdint>

#include "input/seam.h"

// Greets the axis peer and then the feeder peer with StartHello. Nothing is retried and a
// failed send is ignored: a peer that is not running yet learns of the hub from its datagrams.
void greet_peers(Seam& seam);
