#pragma once

// The windows are laid out for Tahoma, Verdana and MS Sans Serif. Windows has them by name. On
// Linux, where the system lacks them, those that ship with Wine's fonts are registered. Where
// Verdana is missing, Tahoma stands in for it.
void registerFallbackFonts();
