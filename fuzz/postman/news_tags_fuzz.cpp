// libFuzzer target: arbitrary bytes as the server's news answer and as a
// "918" answer. The fields must keep their widths, a field must change only
// to the text between its tags, and the message must keep its length rules.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "postman/news_rules.h"
#include "postman/news_tags.h"

namespace {

using namespace velmora::postman;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The field is its initial text, or the padded text between its tags.
void CheckField(std::string_view answer, std::string_view name, const std::string& before,
                const std::string& after, std::size_t width) {
  Check(after.size() == width);
  if (after == before) return;
  const std::string open = "<" + std::string(name) + ">";
  const std::size_t start = answer.find(open);
  Check(start != std::string_view::npos);
  Check(answer.substr(start + open.size())
            .starts_with(std::string_view(after).substr(0, after.find_last_not_of(' ') + 1)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  const NewsFields before = InitialNewsFields();
  NewsFields fields = before;
  SplitNewsTags(answer, fields);
  CheckField(answer, "DATA", before.date, fields.date, kNewsDateWidth);
  CheckField(answer, "EURO", before.euro, fields.euro, kNewsRateWidth);
  CheckField(answer, "USD", before.usd, fields.usd, kNewsRateWidth);
  CheckField(answer, "VREMEA", before.weather, fields.weather, kNewsWeatherWidth);
  CheckField(answer, "TEXT", before.text, fields.text, kNewsTextWidth);

  const std::string message = MessageFromAnswer(answer);
  Check(message.size() <= 1000 && message.find("@@") == std::string::npos);
  const std::string image = NewsCacheImage(static_cast<int64_t>(size) * 977, NewsCacheText(answer));
  Check(image.size() == kNewsCacheBytes && image.find('\0', 8) == std::string::npos);
  Check(NewsCacheStamp(image) == static_cast<int64_t>(size) * 977);
  NewsCacheIsStale(static_cast<int64_t>(size) << 40, NewsCacheStamp(answer), answer);
  return 0;
}
