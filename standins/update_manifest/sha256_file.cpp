#include "update_manifest/sha256_file.h"

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <fstream>

#include "common/win_handles.h"

namespace velmora::standins {
namespace {

// bcrypt is loaded when the first digest is wanted, not with the library
// that hashes: loading it starts the system's whole crypto stack, which every
// process that loads hostlane.dll would pay for at its start, although most
// of them (the launcher at most starts) never hash anything.
struct BcryptCalls {
  decltype(&BCryptOpenAlgorithmProvider) openAlgorithm = nullptr;
  decltype(&BCryptCloseAlgorithmProvider) closeAlgorithm = nullptr;
  decltype(&BCryptCreateHash) createHash = nullptr;
  decltype(&BCryptDestroyHash) destroyHash = nullptr;
  decltype(&BCryptHashData) hashData = nullptr;
  decltype(&BCryptFinishHash) finishHash = nullptr;

  bool complete() const {
    // cppcheck takes the members for one value, all null at their declarations.
    // cppcheck-suppress knownConditionTrueFalse
    return openAlgorithm && closeAlgorithm && createHash && destroyHash && hashData && finishHash;
  }
};

// Null when bcrypt or one of its calls is missing; kept for the process's life.
const BcryptCalls* Bcrypt() {
  static const BcryptCalls calls = [] {
    BcryptCalls c;
    if (const HMODULE module = LoadLibraryA("bcrypt.dll")) {
      c.openAlgorithm =
          LibraryCall<decltype(c.openAlgorithm)>(module, "BCryptOpenAlgorithmProvider");
      c.closeAlgorithm =
          LibraryCall<decltype(c.closeAlgorithm)>(module, "BCryptCloseAlgorithmProvider");
      c.createHash = LibraryCall<decltype(c.createHash)>(module, "BCryptCreateHash");
      c.destroyHash = LibraryCall<decltype(c.destroyHash)>(module, "BCryptDestroyHash");
      c.hashData = LibraryCall<decltype(c.hashData)>(module, "BCryptHashData");
      c.finishHash = LibraryCall<decltype(c.finishHash)>(module, "BCryptFinishHash");
    }
    return c;
  }();
  return calls.complete() ? &calls : nullptr;
}

// One SHA-256 computation: the algorithm provider and the hash object,
// released in reverse order.
class Sha256 {
 public:
  Sha256() : bcrypt_(Bcrypt()) {
    if (bcrypt_ == nullptr) return;
    if (bcrypt_->openAlgorithm(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) {
      algorithm_ = nullptr;
      return;
    }
    if (bcrypt_->createHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) != 0) hash_ = nullptr;
  }
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  ~Sha256() {
    if (hash_ != nullptr) bcrypt_->destroyHash(hash_);
    if (algorithm_ != nullptr) bcrypt_->closeAlgorithm(algorithm_, 0);
  }

  bool Add(const char* data, std::size_t size) {
    return hash_ != nullptr &&
           bcrypt_->hashData(hash_, reinterpret_cast<PUCHAR>(const_cast<char*>(data)),
                             static_cast<ULONG>(size), 0) == 0;
  }
  std::optional<std::string> Finish() {
    std::array<unsigned char, 32> digest{};
    if (hash_ == nullptr ||
        bcrypt_->finishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0) != 0)
      return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
      hex += kHex[byte >> 4];
      hex += kHex[byte & 0x0F];
    }
    return hex;
  }

 private:
  const BcryptCalls* bcrypt_;
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

std::optional<std::string> Sha256OfBytes(std::string_view bytes) {
  Sha256 sha;
  if (!sha.Add(bytes.data(), bytes.size())) return std::nullopt;
  return sha.Finish();
}

std::optional<std::string> Sha256OfFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  Sha256 sha;
  std::array<char, 65536> chunk;
  while (in) {
    in.read(chunk.data(), chunk.size());
    if (in.gcount() > 0 && !sha.Add(chunk.data(), static_cast<std::size_t>(in.gcount())))
      return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return sha.Finish();
}

}  // namespace velmora::standins
