#include "server/safe_path.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>
#include <vector>

#include "common/fixed_text.h"

namespace velmora::server {

namespace {

namespace fs = std::filesystem;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsReservedDeviceName(std::string_view component) {
  // Windows opens the device whatever the extension: "con.txt" is the console.
  const std::string_view base = component.substr(0, component.find('.'));
  std::string upper;
  for (char c : base)
    upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  // Trailing blanks before the dot are ignored by Windows too ("CON .txt").
  while (!upper.empty() && upper.back() == ' ') upper.pop_back();
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
  if (upper == "CONIN$" || upper == "CONOUT$") return true;
  if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
      upper[3] >= '0' && upper[3] <= '9')
    return true;
  return false;
}

std::string CheckComponent(std::string_view component) {
  if (component.empty()) return "empty component";
  if (component == "." || component == "..") return "dot component";
  if (component.size() > kMaxComponentLength) return "component too long";
  if (component.back() == '.' || component.back() == ' ') return "component ends in dot or blank";
  if (IsReservedDeviceName(component)) return "device name";
  return {};
}

}  // namespace

NameCheck CheckRequestedName(std::string_view name) {
  name = TrimTrailingBlanks(name);
  if (name.empty()) return {std::nullopt, "empty name"};
  if (name.size() > kMaxNameLength) return {std::nullopt, "name too long"};
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0) return {std::nullopt, "NUL byte"};
    if (c < 0x20 || c >= 0x7F) return {std::nullopt, "unsupported byte"};
    if (c == ':') return {std::nullopt, "drive or stream"};
    if (std::string_view("<>\"|?*").find(ch) != std::string_view::npos)
      return {std::nullopt, "reserved character"};
  }
  // One leading separator means "from the root", as in "/updateVelmora/velmora.scn".
  if (IsSeparator(name[0])) {
    if (name.size() > 1 && IsSeparator(name[1])) return {std::nullopt, "absolute path"};
    name.remove_prefix(1);
  }
  fs::path relative;
  std::size_t pos = 0;
  while (true) {
    const auto end =
        std::find_if(name.begin() + static_cast<std::ptrdiff_t>(pos), name.end(), IsSeparator);
    const auto next = static_cast<std::size_t>(end - name.begin());
    const std::string_view component = name.substr(pos, next - pos);
    if (std::string problem = CheckComponent(component); !problem.empty())
      return {std::nullopt, problem};
    relative /= fs::path(std::string(component));
    if (next == name.size()) break;
    pos = next + 1;
  }
  return {relative, {}};
}

bool IsInside(const fs::path& root, const fs::path& path) {
  auto r = root.begin();
  auto p = path.begin();
  for (; r != root.end(); ++r, ++p) {
    // A trailing separator of the root shows up as an empty last element.
    if (r->empty() && std::next(r) == root.end()) return true;
    if (p == path.end() || *r != *p) return false;
  }
  return true;
}

Resolved ResolveUnderRoot(const fs::path& root, std::string_view name) {
  NameCheck check = CheckRequestedName(name);
  if (!check.relative) return {std::nullopt, "rejected: " + check.problem, true};
  std::error_code ec;
  const fs::path candidate = root / *check.relative;
  if (!fs::is_regular_file(candidate, ec)) return {std::nullopt, "not found", false};
  const fs::path real = fs::canonical(candidate, ec);
  if (ec) return {std::nullopt, "not found", false};
  if (!IsInside(root, real)) return {std::nullopt, "rejected: leads outside the root", true};
  return {real, {}, false};
}

}  // namespace velmora::server
