#include "template_reader.h"

#include <cstring>

namespace velmora::resources_test {
namespace {

// A cursor over the template's little-endian words.
class Reader {
 public:
  Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }

  unsigned Word() {
    if (pos_ + 2 > size_) return Fail();
    unsigned v = data_[pos_] | (data_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }

  DWORD Dword() {
    DWORD lo = Word();
    DWORD hi = Word();
    return lo | (hi << 16);
  }

  // A zero-terminated UTF-16 string, kept as its ASCII/Latin bytes.
  std::string String() {
    std::string out;
    for (unsigned c = Word(); ok_ && c != 0; c = Word()) out.push_back(static_cast<char>(c & 0xFF));
    return out;
  }

  // sz_Or_Ord: empty, an ordinal (returned as "#n") or a string.
  std::string StringOrOrdinal() {
    size_t start = pos_;
    unsigned first = Word();
    if (first == 0) return {};
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    pos_ = start;
    return String();
  }

 private:
  unsigned Fail() {
    ok_ = false;
    return 0;
  }

  const unsigned char* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string ResourceBytes(LPCSTR name, LPCSTR type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

std::optional<DialogTemplateHeader> ReadDialogTemplate(int id) {
  std::string bytes = ResourceBytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  Reader r(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  if (r.Word() != 1 || r.Word() != 0xFFFF) return std::nullopt;  // DLGTEMPLATEEX only
  DialogTemplateHeader h;
  r.Dword();  // help id
  h.exStyle = r.Dword();
  h.style = r.Dword();
  h.itemCount = static_cast<int>(r.Word());
  r.Word();  // x
  r.Word();  // y
  h.cx = static_cast<short>(r.Word());
  h.cy = static_cast<short>(r.Word());
  r.StringOrOrdinal();  // menu
  r.StringOrOrdinal();  // class
  h.title = r.String();
  if (h.style & (DS_SETFONT | DS_SHELLFONT)) {
    h.pointSize = static_cast<int>(r.Word());
    r.Word();  // weight
    r.Word();  // italic, charset
    h.typeface = r.String();
  }
  if (!r.ok()) return std::nullopt;
  return h;
}

}  // namespace velmora::resources_test
