#include "postman/news_fetch.h"

#include <string>
#include <string_view>
#include <utility>

#include "common/shared_state.h"
#include "link/link_api.h"
#include "postman/message_fetch.h"
#include "postman/news_cache.h"
#include "postman/postman.h"
#include "rates/cursval_update.h"

namespace velmora::postman {
namespace {

constexpr char kNewsRequest[] = "903 hotnews.txt";

NewsFields g_news = InitialNewsFields();

// The news answer over a link of its own; the messages ride on the same
// connection. Empty when the exchange failed after connecting.
int16_t FetchFromServer(HWND parent, int32_t clientCode, std::string& answer) {
  link::UPDATESTARBKCOLOR(0xFFFFFF);
  link::SETNETLIBSILENTMODE(2);
  link::SETSTARERPMODE(true);
  if (link::INITCONECTARELASERVER(parent, AdoptedPostmanSetup().instance, clientCode) != 0) {
    link::INCHIDECONECTARELASERVER();
    return link::IsAnswerMarked() ? 1 : -1;
  }
  if (auto fetched = AskServer(kNewsRequest)) {
    answer = std::move(*fetched);
    StoreNewsCache(answer);
  }
  if (!Shared().stop) RequestMessages();  // a stop from the user ends the exchanges
  link::INCHIDECONECTARELASERVER();
  return 0;
}

}  // namespace

const NewsFields& News() { return g_news; }

int16_t FetchNews(HWND parent) {
  g_news = InitialNewsFields();
  const int32_t clientCode = Shared().clientCode;
  if (clientCode == 0) return -1;

  std::string answer;
  bool updateRates = true;
  if (!NewsCacheNeedsFetch()) {
    answer = CachedNewsAnswer();
    updateRates = false;
    FetchMessages(parent);
  } else if (const int16_t failure = FetchFromServer(parent, clientCode, answer); failure != 0) {
    return failure;
  }
  if (answer.size() > 4) SplitNewsTags(answer, g_news);

  Shared().ready = true;
  PostMessageA(AdoptedPostmanSetup().newsStrip, WM_COMMAND, IDOK, 0);
  if (updateRates) rates::UpdateCursValFromNews(g_news.date, g_news.euro, g_news.usd);
  return 0;
}

}  // namespace velmora::postman
