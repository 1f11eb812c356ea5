// Speed of the exchange-rate update: the whole merge on the files (read,
// merge, write and flush the new file and the backup, two renames) into a
// CURSVAL.DAT of 100,000 rate records, beside CopyFileA of the same file and
// beside the merge of the image alone, in the same run. Prints figures only,
// the comparison with the copy also as a `row: <measure (unit)>; <figure>;
// <reference>; <ratio>` line.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "rates/cursval_records.h"
#include "rates/cursval_update.h"
#include "rates/rate_files.h"

namespace {

using Clock = std::chrono::steady_clock;
using velmora::rates::CursValRate;
namespace rates = velmora::rates;

constexpr int kRates = 100'000;
constexpr int kRounds = 15;

// Five currencies in turn, one record each per day, all before the merged day.
std::string LargeRateFile() {
  std::string file((rates::kLastBlockRecord + kRates) * rates::kCursValRecordBytes, '\0');
  auto record = [&](int number) {
    return rates::MutableRecordBytes(file.data() + (number - 1) * rates::kCursValRecordBytes,
                                     rates::kCursValRecordBytes);
  };
  rates::EncodeHeader({kRates, 1, 0, 0}, record(1));
  for (int i = 0; i < kRates; ++i) {
    const int day = i / 5;
    const int32_t date = 19900101 + (day / 28) % 12 * 100 + (day / 336) * 10000 + day % 28;
    rates::EncodeRate({static_cast<int16_t>(i % 5 + 1), date, 40000 + i % 977},
                      record(rates::kFirstRateRecord + i));
  }
  return file;
}

double MedianMs(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

template <typename F>
double Time(F&& step) {
  const auto start = Clock::now();
  step();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Through the same file calls the merge uses.
bool WriteWhole(const std::string& path, const std::string& bytes) {
  rates::RateFiles& files = rates::WindowsRateFiles();
  const velmora::AutoHandle file = files.Create(path);
  return file && files.WriteAll(file.get(), bytes);
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "velmora-rates-bench\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string dat = folder + "CURSVAL.DAT", old = folder + "CURSVAL.OLD",
                    copy = folder + "CURSVAL.CPY";
  const std::string original = LargeRateFile();
  const rates::NewsRates news{20261208, 49741, 42650};

  std::vector<double> merge, copyFile, image;
  for (int round = 0; round < kRounds; ++round) {
    if (!WriteWhole(dat, original)) {
      std::fprintf(stderr, "cannot write %s\n", dat.c_str());
      return 1;
    }
    bool merged = false;
    merge.push_back(Time(
        [&] { merged = rates::MergeCursValFiles(rates::WindowsRateFiles(), dat, old, news); }));
    if (!merged) {
      std::fprintf(stderr, "the merge failed\n");
      return 1;
    }
    copyFile.push_back(Time([&] { CopyFileA(old.c_str(), copy.c_str(), FALSE); }));
    image.push_back(Time([&] { (void)rates::MergeCursValImage(original, news); }));
  }
  for (const std::string& path : {dat, old, copy}) DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());

  const double mergeMs = MedianMs(merge), copyMs = MedianMs(copyFile), imageMs = MedianMs(image);
  std::printf("CURSVAL.DAT of %d rate records (%zu bytes), median of %d rounds:\n", kRates,
              original.size(), kRounds);
  std::printf(
      "  merge on the files (read, merge, write+flush new file and backup, 2 renames): %8.2f ms\n",
      mergeMs);
  std::printf(
      "  CopyFileA of the same file:                                                  %8.2f ms\n",
      copyMs);
  std::printf(
      "  merge of the image in memory alone:                                          %8.2f ms\n",
      imageMs);
  std::printf("  merge / copy: %.2f\n", mergeMs / copyMs);
  std::printf(
      "row: rate-file merge, 100,000 records, vs CopyFileA of the file (ms); %.2f; %.2f; %.2f\n",
      mergeMs, copyMs, mergeMs / copyMs);
  return 0;
}
