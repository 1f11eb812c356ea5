#pragma once
// Sizes, message numbers, timers and texts of the server link. Nothing here
// needs <windows.h>, so the portable code and the tests share them.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/transfer_size.h"

namespace velmora::link {

// Each of the two transfer buffers, and the largest answer frame.
using velmora::kTransferBufferSize;
inline constexpr std::size_t kFrameHeaderBytes = 4;
// Requests are handed to the socket in pieces of at most this many bytes.
inline constexpr std::int32_t kSendPiece = 1000;
inline constexpr std::uint16_t kDefaultTcpPort = 5150;

// Private window messages (WM_USER + n). All are posted, never sent. The
// link's wait looks at the number of every message the thread retrieves,
// whatever its target window. The outcomes (0x403 and up) carry in wParam
// the number of the connect or exchange they belong to, so that one left
// over from an earlier wait is never taken for the current one; an abort
// posted from outside the link carries 0 and ends whatever wait is running.
inline constexpr unsigned kMsgSocket = 0x401;  // WSAAsyncSelect notification of the link's socket
inline constexpr unsigned kMsgConnect =
    0x402;  // open (or reopen) the connection to the current address
inline constexpr unsigned kMsgAbort =
    0x403;  // end the current wait: connect given up or transfer aborted
inline constexpr unsigned kMsgTimeout =
    0x404;  // the answer did not come; the transfer is to be retried
inline constexpr unsigned kMsgAnswer = 0x405;  // a complete answer frame is in the receive buffer
inline constexpr unsigned kMsgOverrun =
    0x406;  // more bytes than announced, or a connect request during a transfer
inline constexpr unsigned kMsgReady = 0x407;  // the connection is open and the client qualified
// Posted to the link window only, for the one place that decides what follows.
inline constexpr unsigned kMsgGaveUp = 0x408;  // the connect time-out found no address left
inline constexpr unsigned kMsgRefused =
    0x409;  // the server closed before qualifying; ask before redialling
inline constexpr unsigned kMsgSelectFailed =
    0x40A;  // WSAAsyncSelect failed; lParam holds the error code

// Timers of the link window.
inline constexpr unsigned kTimerAnimation = 2;  // 140 ms, one animation step
inline constexpr unsigned kTimerConnect = 3;    // 4,500 ms, connect time-out per address
inline constexpr unsigned kTimerParent =
    5;  // 1,500 ms, watches that the parent dialog still exists
inline constexpr unsigned kTimerAnswer = 7;  // 5,000 ms, answer watchdog
inline constexpr unsigned kAnimationPeriodMs = 140;
inline constexpr unsigned kConnectPeriodMs = 4500;
inline constexpr unsigned kParentPeriodMs = 1500;
inline constexpr unsigned kAnswerPeriodMs = 5000;

// The periods the link's timers run with. The program always uses the figures
// above; the link's tests shorten them (link_testing.h) so that no time-out is
// waited out for real.
struct LinkPeriods {
  unsigned animationMs = kAnimationPeriodMs;
  unsigned connectMs = kConnectPeriodMs;
  unsigned parentMs = kParentPeriodMs;
  unsigned answerMs = kAnswerPeriodMs;
  bool operator==(const LinkPeriods&) const = default;
};

// Link window geometry.
inline constexpr int kLinkWidth = 200;
inline constexpr int kLinkHeight = 55;
inline constexpr int kMaxDisabledControls = 199;

// The three user messages; "\n\r" is line feed then carriage return, as the
// boxes have always shown them.
inline constexpr std::string_view kTextConnectImpossible =
    "Programul nu poate stabili o conexiune cu serverul Corvane. Verificati starea \n\r"
    "conexiunii dumneavoastra la internet sau existenta unui program \n\r"
    "firewall care ar putea bloca accesul la serverul Corvane.";
inline constexpr std::string_view kTextServerRefused =
    "Programul nu se poate conecta la serverul Corvane.\n\r"
    "Serverul nu poate prelua momentan solicitarile dumneavoastra.\n\r"
    "Va rugam sa incercati din nou peste citeva minute";
inline constexpr std::string_view kTextNoAnswer =
    "Programul nu a primit raspuns de la serverul Corvane.Verificati starea conexiunii\n\r"
    "si incercati o noua trimitere!";

inline constexpr std::string_view kStatusConnecting = "conectare ...";
inline constexpr std::string_view kStatusRefreshing = "actualizare parametri de conectare... ";
inline constexpr std::string_view kStatusDownloading = "Asteptati, se descarca de pe net.";

}  // namespace velmora::link
