#pragma once
// The server link: one asynchronous TCP connection to the vendor's server,
// driven by a small child window of the dialog that uses it. Every use is a
// bracket on one thread: INITCONECTARELASERVER (connect and qualify), one or
// more exchanges (GETRASPUNSCALIFICARE, SENDBUFFERTOSERVER, ...), then
// INCHIDECONECTARELASERVER. The waits pump the calling thread's messages;
// nothing blocks in a socket call. Only one thread may use the link at a time.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::link {

// --- Link window and lifecycle ---------------------------------------------

// Registers the window class once and creates the hidden link window under
// `parent`. 0, or -2 when no window could be created.
int16_t INITFEREASTRASTAR(HWND parent, HINSTANCE instance);
// Deletes the brushes and the font, frees both transfer buffers, WSACleanup.
void CLEANUPSTARWND();
// Stores the background colour and makes its brush now.
void UPDATESTARBKCOLOR(COLORREF colour);
// Stores the background colour; the brush is made with the next window.
void SETSTARWNDBKCOLOR(COLORREF colour);
// Moves the link window; a width or height below 1 keeps the current size.
void SETSTARWNDPOS(int16_t x, int16_t y, int16_t width, int16_t height);
// Gives the dialog its own procedure back and re-parents the link window.
void FREESTARPARENT();
// 0 quiet off; 1 quiet on; 2 quiet and silent on (silent stays on).
void SETNETLIBSILENTMODE(int16_t mode);
// Selects how the client code is found (ERP directory file or dirvan.dat).
void SETSTARERPMODE(bool erpMode);
void DISABLECONTROLSINDIALOG();
void RESTORECONTROLSINDIALOG();
// Closes the socket, destroys the window, cleans up and ends the process.
[[noreturn]] void ON_CALL_EXIT(int16_t exitStatus);
// Closes the connection, frees the resources, destroys the link window.
void INCHIDECONECTARELASERVER();
// Closes the link's socket; clears qualified and answer pending. Returns 0.
int INCHIDECONEXIUNELASERVER();
void KILL_STARWND_TIMERS();

// --- Connection and server address list ------------------------------------

// Opens the link and waits until the server has accepted the client.
// 0 connected and qualified (also when it already was); -1 given up, aborted
// or WM_QUIT; -2 the link window cannot be created; -3 no link window;
// -4 the parent dialog is not a window.
int16_t INITCONECTARELASERVER(HWND parent, HINSTANCE instance,
                              std::optional<int32_t> clientCode = std::nullopt);
void SETTCPPORT(uint16_t port);
// Uses only this address (first 15 characters); iplist.txt is never read or written.
void SETIPFIX(std::string_view address);
int16_t INITLISTAIP();
int16_t GETNEXTIPADRESS();
int16_t GETLISTAIPDOMENIU();
void SAVELISTAIPDOMENIU();
void WRITELISTAIPOPTIM();

// --- Exchanges ---------------------------------------------------------------

// Sends one request frame and waits for its answer frame. 0 answer complete;
// -1 qualification answer without "OK"; -2 overrun or busy; -3 aborted;
// -4 time-out. After a failure the connection is reopened before the next use.
int16_t SENDBUFFERTOSERVER(const char* payload, int32_t length, int32_t unused = 0);
// Sends the request text (trailing blanks removed) and copies the answer's
// payload. Its length, or -1 exchange failed, -2 an answer is still awaited,
// -3 not qualified, -4 answer longer than `capacity` (nothing copied),
// -5 no link window or request too long.
int32_t GETRASPUNSCALIFICARE(std::string_view request, char* destination, int32_t capacity);
// The same for a payload of any bytes.
int32_t COMUNICACUSERVER(const char* payload, int32_t length, char* destination, int32_t capacity);
// Fetches a file (type 301, 302/3021, 303, else 903) into `destinationPath`;
// the payload length, or -1.
int32_t DOWNLOADFISIERDEPESERVER(std::string_view name, std::string_view destinationPath,
                                 int16_t type);
// Uploads a file as "901 " + client code + its bytes. 0 sent, -1 cannot be
// opened, -2 empty, else the SENDBUFFERTOSERVER result.
int16_t SENDFISIERTOSERVER(const char* path);
void SAVEBUFTOFILE(const char* data, int32_t length, std::string_view path);
// The last complete answer began with "**1".
bool IsAnswerMarked();

// --- Client identification ---------------------------------------------------

// Fills the client code text from the documents module. 0, or -1 when in
// ERP mode the ERP directory file cannot be read.
int16_t GETSTRINGCU();
// Writes the client information; returns its length.
int16_t GETINFOCLIENT(char* text, int32_t capacity);

// --- Log -----------------------------------------------------------------------

// The application log channel; lines are written only while it is above 0.
void SETLUNSTARWNDLOG(int16_t channel);
void WRITEINLOGSTARWND(const char* text, int length);
inline void WRITEINLOGSTARWND(std::string_view text) {
  WRITEINLOGSTARWND(text.data(), static_cast<int>(text.size()));
}
// Where the finished lines go (the application log's file); none by default.
using LinkLogWriter = void (*)(std::string_view line);
void SetLinkLogWriter(LinkLogWriter writer);

}  // namespace velmora::link
