#include "docstore/keyed_open.h"

#include "docstore/layout_cache.h"

namespace velmora::docstore {
namespace {
void Show(const ErrorSink& showError, std::string_view text) {
  if (showError) showError(text);
}

KeyedFileFacts FromBlock1(const Block& block1, BlockReader* obi, const ErrorSink& showError) {
  if (IsSelfDescribingHeader(block1)) return {0, kLayoutSelfDescribing, HeaderBucketCount(block1)};
  KeyedFileFacts facts{0, kLayoutIndex, 0};
  if (obi != nullptr) {
    Block obiBlock1{};
    if (!obi->ReadBlock(1, obiBlock1)) {
      Show(showError, kObiBlock1ReadErrorText);
      return {1, kLayoutIndex, 0};
    }
    facts.bucketCount = ObiBucketCount(obiBlock1);
  }
  return facts;
}
}  // namespace

std::string OpenErrorText(std::string_view path) {
  return "Eroare deschidere " + std::string(path);
}

std::string Block1ReadErrorText(std::string_view path) {
  return "Eroare la citire bloc 1 din " + std::string(path);
}

KeyedFileFacts ExamineKeyedFile(BlockReader& file, BlockReader* obi, std::string_view path,
                                const ErrorSink& showError) {
  Block block1{};
  if (!file.ReadBlock(1, block1)) {
    Show(showError, Block1ReadErrorText(path));
    return {};
  }
  return FromBlock1(block1, obi, showError);
}

KeyedFileFacts ExamineOpenDevFile(BlockReader& dev, BlockReader& obi, const ErrorSink& showError) {
  Block block1{};
  if (!dev.ReadBlock(1, block1)) {
    Show(showError, kDevBlock1ReadErrorText);
    return {};
  }
  return FromBlock1(block1, &obi, showError);
}

}  // namespace velmora::docstore
