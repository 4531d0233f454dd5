#pragma once

// Says why the hub ends when it ends on its own without a message box that says it: a
// debugger shows the line, and so does Wine with WINEDEBUG=+debugstr (warn+seh in Wine 8).
// An end that says nothing cannot be diagnosed.
void say_why_it_ends(int status, const wchar_t* reason, long error);
