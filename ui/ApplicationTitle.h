#pragma once

// The application's title, the main window's caption and the error box's.
inline constexpr const char* ApplicationTitle = "K4410R Diroridodevo 3.2";
