#include "state/hub_state.h"

#include <memory>

HubState hub;

void preset_heading_tracker() {
  hub.prev_heading_deg = 0.0f;
  hub.step_timeout_s = 0.5f;
  hub.step_threshold_deg = 2.0f;
  hub.last_step_ms = 0;
  hub.step_count = 0;
  hub.prev_step_count = 0;
  hub.run_limit = 2;
  hub.up_run = 0;
  hub.down_run = 0;
  hub.reverse_flag = 0;
}

void reset_hub_state() {
  std::destroy_at(&hub);
  std::construct_at(&hub);
}
