#pragma once

// Whether a player or browser has asked the desktop over the session bus to keep the screen on:
// KDE's power management (which takes org.freedesktop.ScreenSaver's inhibitions on Plasma) or
// GNOME's and MATE's session manager. Services the bus lacks count as holding nothing back.
bool DesktopHoldsIdleBack();
