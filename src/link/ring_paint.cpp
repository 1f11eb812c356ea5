#include "link/ring_paint.h"

#include "common/fixed_text.h"
#include "link/link_constants.h"

namespace velmora::link {
namespace {
constexpr std::array<DotPoint, 8> kOffsets{
    {{0, 4}, {9, 8}, {12, 17}, {9, 25}, {0, 28}, {-9, 24}, {-12, 16}, {-9, 7}}};
constexpr std::int32_t kLimit = static_cast<std::int32_t>(kTransferBufferSize);
}  // namespace

DotPoint DotPosition(int dot, int windowWidth) {
  const DotPoint offset = kOffsets[static_cast<std::size_t>(dot - 1)];
  return {windowWidth / 2 + offset.x, offset.y};
}

std::optional<int> DotShade(int dot, int frame) {
  if (frame < 1) return std::nullopt;
  for (int k = 0; k < 4; ++k)
    if ((dot + k - frame) % 8 == 0) return k;
  return std::nullopt;
}

int DotRadius(std::optional<int> shade) { return shade == 0 ? 4 : 3; }

int ShadeBrushSlot(std::optional<int> shade, bool qualified) {
  if (!shade) return 9;
  return (qualified ? 1 : 5) + *shade;
}

std::optional<std::string> AnswerPercentText(std::int32_t answerRemaining,
                                             std::int32_t answerField) {
  if (answerRemaining <= 0 || answerField <= 0 || answerRemaining >= kLimit) return std::nullopt;
  const long long p = 100 - (static_cast<long long>(answerRemaining) * 100) / answerField;
  return std::to_string(p) + "%";
}

std::optional<std::string> SendPercentText(std::int32_t sendRemaining, std::int32_t sendTotal) {
  if (sendRemaining <= 0 || sendTotal <= 0 || sendRemaining >= kLimit) return std::nullopt;
  const long long p = 100 - (static_cast<long long>(sendRemaining) * 100) / sendTotal;
  return RightAligned(p, 3) + "%";
}

}  // namespace velmora::link
