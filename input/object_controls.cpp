#include "input/object_controls.h"

#include "res/resource.h"

std::optional<ControlPair> controls_for_object(ObjectKind kind, int32_t& slider_count,
                                               int32_t& pov_count) {
  // Sliders and point-of-view controls have no visible value: their value controls lie outside
  // the dialog and their labels start enabled, so these rows change nothing on screen.
  static constexpr ControlPair sliders[2] = {{IDC_SLIDER0, IDC_REMOTE_STEER},
                                             {IDC_SLIDER1, IDC_REMOTE_BUTTONS}};
  static constexpr ControlPair povs[4] = {{IDC_POV0, IDC_STATUS},
                                          {IDC_POV1, IDC_THROTTLE},
                                          {IDC_POV2, IDC_BRAKE},
                                          {IDC_POV3, IDC_MODE}};
  switch (kind) {
  case ObjectKind::x_axis: return ControlPair{IDC_JOY_X, IDC_LABEL_JOY_X};
  case ObjectKind::y_axis: return ControlPair{IDC_JOY_Y, IDC_LABEL_JOY_Y};
  case ObjectKind::z_axis: return ControlPair{IDC_HEADING_RF, IDC_LABEL_HEADING_RF};
  case ObjectKind::rx_axis: return ControlPair{IDC_TILT_RF, IDC_LABEL_TILT_RF};
  case ObjectKind::ry_axis: return ControlPair{IDC_HEADING_LF, IDC_LABEL_HEADING_LF};
  case ObjectKind::rz_axis: return ControlPair{IDC_TILT_LF, IDC_LABEL_TILT_LF};
  case ObjectKind::slider: {
    const int32_t seen = slider_count++;
    if (seen >= 0 && seen < 2) return sliders[seen];
    return std::nullopt;
  }
  case ObjectKind::pov: {
    const int32_t seen = pov_count++;
    if (seen >= 0 && seen < 4) return povs[seen];
    return std::nullopt;
  }
  case ObjectKind::other: break;
  }
  return std::nullopt;
}
