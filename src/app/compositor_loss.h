#pragma once

// Qt 6.4's Wayland plugin ends the program with _exit(1) when its connection to the compositor
// breaks (the compositor ended, or crashed), which skips every clean-up the program registered.
// It says so in a warning first: this catches that warning, calls cleanUp, reports the loss in
// the program's one line on standard error instead, and ends with exit code 1 as Qt would. Other
// messages go on as before. Call once, before the GUI application exists.
void OnCompositorLost(void (*cleanUp)());

// For a thread that finds the clean-up begun on another one: waits there for the end it brings.
[[noreturn]] void AwaitEndByCompositorLoss();
