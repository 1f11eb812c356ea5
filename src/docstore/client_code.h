#pragma once
// The client code: the customer's number, kept by the documents module in
// the client record of its dev.dat (key "CODCLI", a 32-bit code). 0 means
// that no code can be had.
//
// ReadClientCode runs on the thread that identifies the client to the
// server and keeps the first code it reads for the rest of the run;
// PeekClientCode runs on the main thread for the dialog's caption and keeps
// nothing. Both open obi.dat and dev.dat in the documents data directory of
// DIRVAN.DAT's record image and close them again.

#include <cstdint>

#include "docstore/date_split.h"

namespace velmora::docstore {

// Cached lookup. The data directory is the one in the record image as it
// stands (the caller sets it beforehand). Shows "Eroare deschidere obi.dat!"
// or the open errors of dev.dat; a failed lookup caches nothing.
void ReadClientCode(int32_t& code);

// Uncached lookup. Without "dirvan.dat" in the current directory it opens
// nothing; otherwise it loads that file itself. An obi.dat that cannot be
// opened is passed over silently; dev.dat's open errors are shown.
void PeekClientCode(int32_t& code);

// Forgets the cached code: the next ReadClientCode reads the files again.
void ClearClientCodeCache();

}  // namespace velmora::docstore
