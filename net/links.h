#pragma once

#include "state/seam.h"
#include "state/tick_values.h"

// The datagrams the hub sends and the rules for when they go out. All of it runs on the main
// thread.

// StartHello to the axis peer and then to the feeder, once at start-up. Nothing is retried and
// a failed send is ignored: a peer that is not running yet learns of the hub from its datagrams.
void send_start_hello(Seam& seam);

// AxisDatagram to the axis peer; a failure is ignored.
void send_axis(Seam& seam, uint8_t x_byte, uint8_t y_byte);

// Feeder step: handshake once the feeder is ready, then a drive datagram on change or
// keep-alive. Runs skate mode in drive mode 5. A failed send ends the process through the
// seam; the step then returns false, so that nothing else of the tick runs.
bool serve_feeder(Seam& seam, const TickValues& values);

// Remote step: connection status, the status line and the foot datagram. The remote app's
// address came from the network, so a send to it that fails drops the app instead of ending
// the hub.
void serve_remote(Seam& seam, const TickValues& values);

// ShutdownDatagram to the feeder; returns whether the send worked.
bool send_shutdown(Seam& seam);
