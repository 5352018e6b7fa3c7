#pragma once

// The windows are laid out for Tahoma and Verdana. Where the system lacks them, the Tahoma that
// ships with Wine's fonts is registered, and Verdana falls back to it.
void registerFallbackFonts();
