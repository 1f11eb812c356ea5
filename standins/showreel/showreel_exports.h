#pragma once
// The four exports of the slide library stand-in, with the argument lists
// the launcher declares for them. The .def file gives them their decorated
// export names (_DrawJpg2@12, ...) on both Windows targets.

#include <windows.h>

#include <cstdint>

extern "C" {

// Draws the picture file into the control, scaled to fit and centred; the
// rest of the control is filled with the button-face colour. 0 when drawn,
// -1 when the picture cannot be read.
int16_t WINAPI ShowreelDrawJpg2(HWND* window, HDC* dc, char* pictureName);

// Draws the previous/next page arrows in the bottom band of the control; an
// arrow with no page to go to is drawn greyed. 0 when drawn, -1 when the
// control has no band for them.
int16_t WINAPI ShowreelDrawNextPrevPag(HWND* window, HDC* dc, int32_t* slideCount,
                                       int32_t* currentSlide);

// Downloads a file of the vendor's server into `localPath`: the number of
// bytes written (greater than 0), 0 for an empty or missing file (nothing
// written), or a negative code: -1 bad arguments, -2 no connection, -3 the
// exchange broke off, -4 the answer's length is impossible, -5 the local
// file could not be written.
int32_t WINAPI ShowreelGetFisierDif(const char* remotePath, int32_t remoteLength,
                                    const char* localPath, int32_t localLength);

// Makes every pixel of the colour `*colourKey` (a COLORREF) transparent in
// the top-level window `*window`. 0 on success, -1 otherwise.
int32_t WINAPI ShowreelApplyTransp(void* window, void* colourKey);
}
