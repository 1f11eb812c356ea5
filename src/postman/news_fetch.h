#pragma once
// The news fetch of the news thread: "903 hotnews.txt" from the server (or
// the cache while it is young), the "918" messages, the ready flag, the
// news strip's signal and the update of the exchange-rate file.

#include <windows.h>

#include <cstdint>

#include "postman/news_tags.h"

namespace velmora::postman {

// 0 done; -1 no client code, or no connection; 1 no connection after an
// answer marked "**1" (the strip then keeps its template's texts).
int16_t FetchNews(HWND parent);

// The news fields of the last fetch (initial texts until then).
const NewsFields& News();

}  // namespace velmora::postman
