#include "postman/news_tags.h"

#include "common/fixed_text.h"

namespace velmora::postman {
namespace {

void TakeTagged(std::string_view answer, std::string_view name, std::string& field) {
  const std::string open = "<" + std::string(name) + ">";
  const std::string close = "</" + std::string(name) + ">";
  const std::size_t start = answer.find(open);
  const std::size_t end = answer.find(close);
  if (start == std::string_view::npos || end == std::string_view::npos || end <= start) return;
  const std::size_t first = start + open.size();
  field = PadToWidth(answer.substr(first, end > first ? end - first : 0), field.size());
}

}  // namespace

NewsFields InitialNewsFields() {
  return {PadToWidth("-", kNewsDateWidth), PadToWidth("-", kNewsRateWidth),
          PadToWidth("-", kNewsRateWidth), PadToWidth("-", kNewsWeatherWidth),
          PadToWidth("Eroare de sincronizare cu serverul CORVANE!", kNewsTextWidth)};
}

void SplitNewsTags(std::string_view answer, NewsFields& fields) {
  TakeTagged(answer, "DATA", fields.date);
  TakeTagged(answer, "EURO", fields.euro);
  TakeTagged(answer, "USD", fields.usd);
  TakeTagged(answer, "VREMEA", fields.weather);
  TakeTagged(answer, "TEXT", fields.text);
}

}  // namespace velmora::postman
