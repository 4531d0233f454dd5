#pragma once

#include "input/seam.h"
#include "state/tick_values.h"

// The datagrams the hub sends and the rules for when they go out. All of it runs on the main
// thread. The steps return false once they have ended the process through the seam, so that
// nothing else of the tick runs.

// AxisDatagram to the axis peer; a failure is ignored.
void send_axis(Seam& seam, uint8_t x_byte, uint8_t y_byte);

// Feeder step: handshake once the feeder is ready, then a drive datagram on change or
// keep-alive. Runs skate mode in drive mode 5.
bool serve_feeder(Seam& seam, const TickValues& values);

// Remote step: connection status, the status line and the foot datagram.
bool serve_remote(Seam& seam, const TickValues& values);

// ShutdownDatagram to the feeder; returns whether the send worked.
bool send_shutdown(Seam& seam);
