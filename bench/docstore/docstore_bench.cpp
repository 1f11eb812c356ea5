// Block reads per lookup in a 2000-block dev.dat filled to about 70 %, in
// each layout, for three sizes of record and two kinds of key. Prints
// figures only; for client-like records under random keys also as `row:
// <measure (unit)>; <figure>; <reference>; <ratio>` lines, beside the one
// block (the key's home bucket) that is the least any lookup reads.
//
//   docstore_bench [seed]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "docstore/record_search.h"
#include "keyed_files/keyed_file_writer.h"

namespace {

using namespace velmora::docstore;
using velmora::testing::IndexFileWriter;
using velmora::testing::KeyedRecord;
using velmora::testing::SelfDescribingFileWriter;

constexpr int32_t kBlocks = 2000;
constexpr int32_t kBuckets = 1999;  // the largest prime not above the block count
constexpr double kTargetFill = 0.70;

struct Profile {
  const char* name;
  std::size_t minData, maxData;  // even sizes, bytes
};

// Keys of 6 bytes, as the client record's: random bytes, or "K" and five
// characters of a counter (codes handed out in order, as a module may).
struct KeySource {
  KeySource(bool sequentialKeys, unsigned seed) : sequential(sequentialKeys), rng(seed) {}
  bool sequential;
  std::mt19937 rng;
  uint32_t next = 1;
  std::unordered_set<std::string> used;

  std::string Next() {
    for (;;) {
      std::string key;
      if (sequential) {
        key = "K";
        for (int i = 0; i < 5; ++i) key += static_cast<char>('0' + (next >> (5 * i)) % 32);
        ++next;
      } else {
        key.resize(6);
        for (char& c : key) c = static_cast<char>(rng() & 0xFF);
        if (key[0] == 0 && key[1] == 0) continue;  // a first word of 0 ends an index chain
      }
      if (used.insert(key).second) return key;
    }
  }
};

// Bytes a record takes in the file: entries with their control or length words.
std::size_t EntryBytes(int layout, const KeyedRecord& r) {
  const std::size_t payload = r.key.size() + r.data.size();
  return layout == kLayoutSelfDescribing ? 2 + (payload + 1) / 2 * 2 : payload + 2;
}

struct Figures {
  std::size_t records = 0;
  double fill = 0;
  double meanHit = 0, meanMiss = 0;
  int64_t maxHit = 0;
  double nsPerLookup = 0;
};

template <typename Writer>
Figures Measure(int layout, Writer& writer, const Profile& profile, bool sequentialKeys,
                unsigned seed) {
  std::mt19937 rng(seed);
  KeySource keys(sequentialKeys, seed + 1);
  // Data blocks: the index layout uses every bucket, the self-describing one all but the header.
  const double capacity =
      static_cast<double>(layout == kLayoutSelfDescribing ? kBuckets - 1 : kBuckets) * 512;
  std::vector<KeyedRecord> stored;
  double used = 0;
  std::uniform_int_distribution<std::size_t> size(profile.minData / 2, profile.maxData / 2);
  while (used / capacity < kTargetFill) {
    KeyedRecord record{keys.Next(), std::string(2 * size(rng), 'd')};
    if (!writer.Add(record)) break;
    used += static_cast<double>(EntryBytes(layout, record));
    stored.push_back(std::move(record));
  }

  Figures f;
  f.records = stored.size();
  f.fill = used / capacity;
  MemoryBlockReader blocks(writer.image());
  int32_t probeLimit = kInitialProbeLimit;
  int64_t reads = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const KeyedRecord& r : stored) {
    std::string buffer = r.key + std::string(r.data.size(), '\0');
    blocks.ResetReads();
    const RecordQuery query{.record = buffer,
                            .keyLength = 6,
                            .bucketCount = kBuckets,
                            .declaredKeyLength = 6,
                            .dataLength = static_cast<int32_t>(r.data.size())};
    const RetrieveOutcome outcome = RetrieveRecord(blocks, layout, query, probeLimit);
    if (outcome.status != kStatusFound || buffer.compare(6, std::string::npos, r.data) != 0) {
      std::fprintf(stderr, "lookup failed: status %d\n", outcome.status);
      std::exit(1);
    }
    reads += blocks.reads();
    f.maxHit = std::max(f.maxHit, blocks.reads());
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  f.meanHit = static_cast<double>(reads) / static_cast<double>(stored.size());
  f.nsPerLookup =
      static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()) /
      static_cast<double>(stored.size());

  int64_t missReads = 0;
  constexpr int kMisses = 2000;
  for (int i = 0; i < kMisses; ++i) {
    std::string buffer = keys.Next() + std::string(8, '\0');
    blocks.ResetReads();
    const RecordQuery query{.record = buffer,
                            .keyLength = 6,
                            .bucketCount = kBuckets,
                            .declaredKeyLength = 6,
                            .dataLength = 8};
    RetrieveRecord(blocks, layout, query, probeLimit);
    missReads += blocks.reads();
  }
  f.meanMiss = static_cast<double>(missReads) / kMisses;
  return f;
}

// The row lines, printed after the table.
std::string g_rows;

void KeepRows(const char* layoutName, const Figures& f) {
  char line[160];
  std::snprintf(line, sizeof line,
                "row: block reads per keyed lookup, found, %s layout (blocks); %.3f; 1; %.3f\n",
                layoutName, f.meanHit, f.meanHit);
  g_rows += line;
  std::snprintf(line, sizeof line,
                "row: block reads per keyed lookup, missing, %s layout (blocks); %.3f; 1; %.3f\n",
                layoutName, f.meanMiss, f.meanMiss);
  g_rows += line;
}

void Print(const char* layoutName, const char* keys, const Profile& p, const Figures& f) {
  if (std::string(keys) == "random" && p.minData == 4) KeepRows(layoutName, f);
  std::printf("%-16s %-11s %-19s %7zu %6.1f %% %10.3f %8lld %12.3f %10.0f\n", layoutName, keys,
              p.name, f.records, 100 * f.fill, f.meanHit, static_cast<long long>(f.maxHit),
              f.meanMiss, f.nsPerLookup);
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned seed =
      argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 2024u;
  const Profile profiles[] = {
      {"4 B (client-like)", 4, 4},
      {"20-120 B", 20, 120},
      {"100-400 B", 100, 400},
  };
  std::printf("dev.dat of %d blocks, %d buckets, filled to about %.0f %%, 6-byte keys, seed %u\n",
              kBlocks, kBuckets, 100 * kTargetFill, seed);
  std::printf("%-16s %-11s %-19s %7s %8s %10s %8s %12s %10s\n", "layout", "keys", "data", "records",
              "fill", "reads/hit", "max", "reads/miss", "ns/hit");
  for (bool sequential : {false, true})
    for (const Profile& p : profiles) {
      const char* keys = sequential ? "sequential" : "random";
      SelfDescribingFileWriter selfDescribing(kBlocks, kBuckets);
      Print("self-describing", keys, p,
            Measure(kLayoutSelfDescribing, selfDescribing, p, sequential, seed));
      IndexFileWriter index(kBlocks, kBuckets, kSixByteKeyProbeLimit);
      Print("index", keys, p, Measure(kLayoutIndex, index, p, sequential, seed));
    }
  std::fputs(g_rows.c_str(), stdout);
  return 0;
}
