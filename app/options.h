#pragma once

// The hub's one command-line option, "noxinput": device discovery then skips the controllers
// that WMI lists as XInput devices.

// True when `arg` is the option: '-' or '/', then "noxinput" in any letter case, then the end.
bool is_noxinput_option(const wchar_t* arg);

// True when any argument from index 1 on is the option; argv[0], the program path, never is.
bool has_noxinput_option(int argc, const wchar_t* const* argv);
