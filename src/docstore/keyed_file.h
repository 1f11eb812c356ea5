#pragma once
// Read access to the documents module's keyed files (obi.dat, dev.dat and
// the rest of their family). The files are opened for reading only, with
// shared read and write access, since the documents module may write them
// while we read.
//
// State: the layout cache of the open files and the index layout's probe
// limit. The main thread (client code in the caption) and the client
// identification on the link's thread both search; one lock keeps the cache
// and each search whole. No message box is shown while the lock is held.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "docstore/record_search.h"

namespace velmora::docstore {

// Opens directory + "\" + name (directory: a 40-character field), decides
// its layout and bucket count and enters it in the layout cache. `obiHandle`
// is an open obi.dat, needed for the index layout's bucket count; without it
// an index-layout file gets bucket count 0 (and its searches status 5).
// A valid `handle` on entry is closed first and replaced by the new one.
// status 0 and the open handle, or status 1 and INVALID_HANDLE_VALUE after
// "Eroare deschidere " + path, "Eroare la citire bloc 1 din " + path or
// "Eroare citire bloc 1 din obi.dat!" in the error box.
void OpenKeyedFile(std::string_view name, std::string_view directory, HANDLE obiHandle,
                   HANDLE& handle, int32_t& bucketCount, int16_t& status);

// Reads block 1 of obi.dat; `bucketCount` receives the index layout's
// bucket count from it. 1 after "** Eroare citire Header fisier OBI.DAT **",
// else 0.
int16_t ReadObiHeader(HANDLE obiHandle, int32_t& bucketCount);

// Removes the file from the layout cache (a null handle clears the whole
// cache) and closes it.
void CloseKeyedFile(HANDLE handle);

// 2, 1, or 0 when block 1 cannot be read; through the layout cache.
int LayoutOf(HANDLE handle);

// Looks the key (the first keyLength bytes of `record`) up in the open file
// and fills the dataLength bytes after it. A declaredKeyLength other than
// keyLength shows "Eroare interna (dev_ret: WL != klen). Anuntati Corvane!"
// and gives status 5.
RetrieveOutcome RetrieveRecord(std::span<char> record, int keyLength, int32_t bucketCount,
                               HANDLE handle, int declaredKeyLength, int32_t dataLength);

}  // namespace velmora::docstore
