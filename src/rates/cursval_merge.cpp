#include "rates/cursval_merge.h"

#include <limits>

#include "common/fixed_text.h"

#include "rates/cursval_records.h"
#include "rates/date_text.h"
#include "rates/free_number.h"

namespace velmora::rates {
namespace {

constexpr std::size_t kLeadingBytes = kLastBlockRecord * kCursValRecordBytes;

RecordBytes RecordAt(std::string_view image, std::size_t offset) {
  return RecordBytes(image.data() + offset, kCursValRecordBytes);
}

int16_t CodeOf(RecordBytes record) { return ReadInt16(record, 0); }

// A rate (already x 10000) as the file stores it, if it fits.
std::optional<int32_t> StoredValue(double rate) {
  if (!(rate < static_cast<double>(std::numeric_limits<int32_t>::max()))) return std::nullopt;
  return static_cast<int32_t>(rate);
}

std::optional<double> PositiveRate(std::string_view text) {
  double rate = 0;
  if (!ReadFreeNumber(text, rate) || !(rate > 0.001)) return std::nullopt;
  return rate;
}

class ImageWriter {
 public:
  ImageWriter(std::string_view leading, std::size_t rateRecords) : image_(leading) {
    image_.reserve(leading.size() + (rateRecords + 2) * kCursValRecordBytes);
  }
  void AppendRaw(RecordBytes record) { image_.append(record.data(), record.size()); }
  void Append(const CursValRate& rate) {
    char bytes[kCursValRecordBytes];
    EncodeRate(rate, bytes);
    image_.append(bytes, sizeof bytes);
  }
  // The block records of `code` take the new rate.
  void UpdateBlock(const CursValRate& rate) {
    for (int record = kFirstBlockRecord; record <= kLastBlockRecord; ++record) {
      const MutableRecordBytes bytes(image_.data() + (record - 1) * kCursValRecordBytes,
                                     kCursValRecordBytes);
      if (DecodeRate(bytes).code == rate.code) EncodeRate(rate, bytes);
    }
  }
  int32_t RateCount() const {
    return static_cast<int32_t>(image_.size() / kCursValRecordBytes) - kLastBlockRecord;
  }
  std::string& image() { return image_; }

 private:
  std::string image_;
};

// One currency's records with the new one put in its place by date.
void MergeCurrency(std::string_view rateRecords, const CursValRate& fresh, ImageWriter& out) {
  bool written = false;
  int32_t previous = 0;
  for (std::size_t at = 0; at < rateRecords.size(); at += kCursValRecordBytes) {
    const RecordBytes raw = RecordAt(rateRecords, at);
    if (CodeOf(raw) != fresh.code) continue;
    const CursValRate old = DecodeRate(raw);
    if (!written && previous < fresh.date && fresh.date < old.date) {
      out.Append(fresh);
      written = true;
    }
    if (fresh.date != old.date) {
      out.AppendRaw(raw);
    } else if (!written) {
      out.Append(fresh);  // replaces the record of the same date
      written = true;
    }
    previous = old.date;
  }
  if (!written) {
    out.Append(fresh);
    out.UpdateBlock(fresh);
  }
}

}  // namespace

std::optional<NewsRates> RatesFromNews(std::string_view dateText, std::string_view euroText,
                                       std::string_view usdText) {
  const std::optional<double> euro = PositiveRate(euroText);
  const std::optional<double> usd = PositiveRate(usdText);
  int32_t date = 0;
  ParseDateText(dateText, date);  // only the value counts: a failed parse leaves 0
  if (!(date > 19900000 && date < 21000000) || !euro || !usd) return std::nullopt;
  const std::optional<int32_t> euroValue = StoredValue(*euro * 10000.0);
  const std::optional<int32_t> usdValue = StoredValue(*usd * 10000.0);
  if (!euroValue || !usdValue) return std::nullopt;
  return NewsRates{date, *euroValue, *usdValue};
}

std::optional<std::string> MergeCursValImage(std::string_view oldImage, const NewsRates& rates) {
  if (oldImage.size() < kLeadingBytes) return std::nullopt;
  CursValHeader header = DecodeHeader(RecordAt(oldImage, 0));
  const std::size_t present = (oldImage.size() - kLeadingBytes) / kCursValRecordBytes;
  if (header.count < 0 || static_cast<std::size_t>(header.count) > present) return std::nullopt;
  const std::string_view rateRecords =
      oldImage.substr(kLeadingBytes, header.count * kCursValRecordBytes);

  ImageWriter out(oldImage.substr(0, kLeadingBytes), static_cast<std::size_t>(header.count));
  for (std::size_t at = 0; at < rateRecords.size(); at += kCursValRecordBytes) {
    const RecordBytes raw = RecordAt(rateRecords, at);
    const int16_t code = CodeOf(raw);
    if (code != kUsdCode && code != kEuroCode) out.AppendRaw(raw);
  }
  MergeCurrency(rateRecords, {kUsdCode, rates.date, rates.usdValue}, out);
  MergeCurrency(rateRecords, {kEuroCode, rates.date, rates.euroValue}, out);

  header.count = out.RateCount();
  header.reserved6 = 0;
  header.reserved8 = 0;
  EncodeHeader(header, MutableRecordBytes(out.image().data(), kCursValRecordBytes));
  return std::move(out.image());
}

}  // namespace velmora::rates
