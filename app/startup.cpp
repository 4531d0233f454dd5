#include "app/startup.h"

#include "net/endpoint.h"
#include "net/wire.h"

void greet_peers(Seam& seam) {
  seam.send(axis_peer, start_hello, sizeof start_hello);
  seam.send(feeder_peer, start_hello, sizeof start_hello);
}
