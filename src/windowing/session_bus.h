#pragma once

// Keeps the start from waiting for a desktop session bus that is not there. Call before the GUI
// application exists.
void SkipMissingSessionBus();
