#pragma once
// Pixel layout of the main dialog and of its news strip, applied when each opens.

#include <windows.h>

#include <cstddef>

namespace velmora::shell {

struct ControlPlace {
  int id, x, y, width, height;
};

inline constexpr int kMainDialogWidth = 1014;
inline constexpr int kMainDialogHeight = 654;

inline constexpr ControlPlace kMainDialogPlaces[] = {
    {1050, 0, 0, 232, 800},     {1045, 8, 10, 218, 368},    {1006, 254, 48, 224, 230},
    {1049, 8, 378, 214, 122},   {1011, 505, 48, 224, 230},  {1047, 8, 500, 214, 82},
    {1010, 756, 48, 224, 230},  {1048, 132, 590, 94, 22},   {1007, 254, 290, 224, 230},
    {1051, 10, 590, 94, 22},    {1009, 505, 290, 224, 230}, {1014, 40, 580, 144, 38},
    {1008, 756, 290, 224, 230}, {1027, 232, 0, 778, 43},    {30003, 0, 0, 229, 622},
    {1029, 238, 5, 32, 32},     {1025, 845, 9, 150, 25},    {1028, 280, 8, 550, 35},
};

inline constexpr ControlPlace kNewsStripPlaces[] = {
    {1036, 3, 6, 515, 86},    {1031, 14, 24, 475, 55}, {1037, 520, 6, 116, 86},
    {1034, 530, 22, 90, 18},  {1032, 575, 32, 60, 18}, {1033, 575, 60, 60, 18},
    {1039, 540, 30, 30, 20},  {1040, 540, 58, 30, 20}, {1038, 638, 6, 135, 86},
    {1035, 645, 25, 126, 64},
};

// Sizes the dialog, centres it in the maximised-window area and places its controls.
void ApplyMainDialogLayout(HWND dialog);

template <std::size_t N>
void PlaceControls(HWND parent, const ControlPlace (&places)[N]) {
  for (const ControlPlace& p : places)
    MoveWindow(GetDlgItem(parent, p.id), p.x, p.y, p.width, p.height, TRUE);
}

}  // namespace velmora::shell
