#pragma once

#include <cstdint>
#include <optional>

// Which dialog controls light up for each object the foot controller reports.

enum class ObjectKind { x_axis, y_axis, z_axis, rx_axis, ry_axis, rz_axis, slider, pov, other };

// A value control and the label beside it, enabled in that order.
struct ControlPair {
  int value_id;
  int partner_id;
  friend bool operator==(const ControlPair&, const ControlPair&) = default;
};

// The controls to enable for one object, counting sliders and point-of-view controls in
// `slider_count` and `pov_count` (every one of them, also beyond those the dialog can show).
std::optional<ControlPair> controls_for_object(ObjectKind kind, int32_t& slider_count,
                                               int32_t& pov_count);
