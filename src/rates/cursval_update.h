#pragma once
// The update of the documents module's exchange-rate file CURSVAL.DAT with
// the day's rates from the news, keeping the previous version as
// CURSVAL.OLD. Runs on the news thread; silent but for one warning box when
// the file cannot be opened.
//
// The new file is written beside the old one under a temporary name and
// flushed, and so is a copy of the old bytes; then the new file takes the
// name CURSVAL.DAT in one rename (which fails while another program holds
// the file open: the update then gives up, nothing changed), and the copy
// becomes CURSVAL.OLD. At every moment CURSVAL.DAT is the whole old file or
// the whole new one, and CURSVAL.OLD a whole earlier version.

#include <cstdint>
#include <string>
#include <string_view>

#include "rates/cursval_merge.h"
#include "rates/rate_files.h"

namespace velmora::rates {

// Checks the news texts (10-character date, 12-character EURO and USD
// rates) and, when the file allows updates, merges the two rates.
void UpdateCursValFromNews(std::string_view dateText, std::string_view euroText,
                           std::string_view usdText);

// The header's update permission; 0 when the file cannot be read. When it
// cannot be opened, the box "Eroare la deschiderea CursVal.dat".
int16_t ReadCursValPermission();

// Re-reads DIRVAN.DAT (a failed read leaves the record read before) and
// merges into the files of the documents data directory. False when the
// merge failed (CURSVAL.DAT is then as it was).
bool MergeCursValRates(const NewsRates& rates);

// The merge on named files through `files`.
bool MergeCursValFiles(RateFiles& files, const std::string& datPath, const std::string& oldPath,
                       const NewsRates& rates);

}  // namespace velmora::rates
