#pragma once

// Resource and control ids of the monitor dialog, shared by the resource script and the code.
// Plain defines, since the resource compiler reads this file too.

#define IDI_APP 102
#define IDD_MONITOR 103

// Readouts.
#define IDC_JOY_X 1010
#define IDC_JOY_Y 1011
#define IDC_HEADING_RF 1012
#define IDC_REMOTE_STEER 1019
#define IDC_TILT_RF 1020
#define IDC_HEADING_LF 1021
#define IDC_TILT_LF 1022
#define IDC_REMOTE_BUTTONS 1023
#define IDC_STATUS 1024
#define IDC_THROTTLE 1025
#define IDC_BRAKE 1026
#define IDC_MODE 1027
#define IDC_SLIDER0 1030
#define IDC_SLIDER1 1031
#define IDC_POV0 1040
#define IDC_TOUCH 1041
#define IDC_POV1 1042
#define IDC_POV2 1043
#define IDC_POV3 1044

// Labels that device set-up enables beside their values.
#define IDC_LABEL_JOY_X 1013
#define IDC_LABEL_JOY_Y 1014
#define IDC_LABEL_HEADING_RF 1015
#define IDC_LABEL_TILT_RF 1016
#define IDC_LABEL_HEADING_LF 1017
#define IDC_LABEL_TILT_LF 1018

// Commands.
#define IDC_SWITCH_MODE 1029
#define IDC_SPEED_ADJUST 1032
#define IDC_START_FEEDER 1045
