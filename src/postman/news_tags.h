#pragma once
// The news file as the server sends it: five parts, each between its tags
// ("<DATA>08.12.2026</DATA>", "<EURO>...", "<USD>...", "<VREMEA>...",
// "<TEXT>..."), shown in the news strip. Portable.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::postman {

inline constexpr std::size_t kNewsDateWidth = 10;
inline constexpr std::size_t kNewsRateWidth = 12;
inline constexpr std::size_t kNewsWeatherWidth = 255;
inline constexpr std::size_t kNewsTextWidth = 10'000;

// The five fields, each blank-padded to its width.
struct NewsFields {
  std::string date, euro, usd, weather, text;
};

// What the strip shows until the news is in: "-" in the four small fields
// and the failure notice in the news box.
NewsFields InitialNewsFields();

// For each tag pair found in this order (the closing tag after the opening
// one, both searched from the start), the field takes the text between them,
// cut or padded to its width; a field without its pair keeps its value.
void SplitNewsTags(std::string_view answer, NewsFields& fields);

}  // namespace velmora::postman
