#pragma once

// Qt 6.4's Wayland text-input support reaches for the seat's input device, so
// on a compositor without a seat (a headless compositor, a kiosk without a
// keyboard) the first Text item crashes the launcher before it draws. Where
// the launcher is about to run on such a compositor and the user chose no
// input method (QT_IM_MODULE unset), Qt's compose input method is chosen
// instead. On a desktop whose compositor has a seat nothing changes, so its
// input method keeps working.
namespace SeatlessWayland {

// Before the application object exists. True when it chose the input method.
bool chooseInputMethod();

}  // namespace SeatlessWayland
