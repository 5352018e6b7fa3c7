#pragma once

#include <QString>

class QWidget;

// The windows are laid out for Tahoma, Verdana and MS Sans Serif. Windows has them by name. On
// Linux, where the system lacks them, those that ship with Wine's fonts are registered. Where
// Verdana is missing, Tahoma stands in for it.
void registerFallbackFonts();

namespace fonts {

// The family a control gets for `family`: the family itself where the system has it as a font it
// can draw at any size, else its stand-in (Verdana: Tahoma; MS Sans Serif: Microsoft Sans Serif),
// else the system's sans-serif user-interface font. Never left to a fallback of the font engine,
// which may be a serif face.
QString family(const QString& family);

// Gives the platform's fonts for the program's classes of controls (the menus, the message boxes'
// text, tooltips, lists, ...) the same treatment: a family the system cannot draw is replaced by
// family() of it. Called once, after the program's own fonts have been registered.
void repairPlatformFonts();

// Makes every caption of `window` whole: a label's or a button's text that its control, laid out
// for the designed fonts, cannot show whole in the font it got is drawn a little smaller, until
// it fits. `widest` is, for a label whose text changes, the widest text it will show.
void keepCaptionsWhole(QWidget* window);
void keepWhole(QWidget* control, const QString& widest);

} // namespace fonts
