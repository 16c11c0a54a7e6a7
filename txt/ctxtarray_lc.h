// List-view reading across processes, as CTxtArray::LoadFromLC does it, with
// the number of cells asked per round trip to the owner's memory open to
// the caller (the tests and benchmarks compare the two ways).  Internal:
// not installed with the public headers.
#pragma once

#include "txt/ctxtarray.h"
#include "winsys/wstypes.h"

class CWinSys;

// The record layout and remote block sizes LoadFromLC uses for an owner of
// the given pointer width (32 or 64; anything else is taken as this
// program's own width).
struct LcBlocks {
    uint32_t recordSize; // one LVITEMA as the owner lays it out
    size_t recordBlock;  // bytes of the remote record block
    size_t textBlock;    // bytes of the remote text block
};
LcBlocks LcBlocksFor(int bits, int batch, LcText text = LcText::kAnsi);

// Text requests per round trip that LoadFromLC uses.
constexpr int kLcBatch = 64;
// The most a caller may ask for per round trip.
constexpr int kLcMaxBatch = 1024;
// The most rows a load reads, whatever the list view counts.
constexpr int kLcMaxRows = 1000000;

// LoadFromLC through the layer ws, with batch text requests per round trip: batch 1 writes one
// record, sends one request and reads one text at a time; a larger batch
// writes the records of up to batch cells at once, sends their requests in
// order and reads their texts back at once.  The lines, the requests the
// owner sees and their order are the same for every batch (1 to
// kLcMaxBatch; values outside are brought into that range).  Results as
// LoadFromLC.
// text says which request the owner gets: LVM_GETITEMTEXTA for kAnsi,
// LVM_GETITEMTEXTW for kUtf8 (LcRequestFor picks it for a layer).
int LoadFromLCBatched(CWinSys& ws, CTxtArray& rows, WsHandle hwnd, CTxt& error, int columns,
                      int batch, LcText text = LcText::kAnsi);

// The request that gets texts as wanted from the owners of ws: kUtf8 asks
// with LVM_GETITEMTEXTA where that already answers UTF-8
// (CWinSys::AnsiTextIsUtf8), else as wanted.
LcText LcRequestFor(CWinSys& ws, LcText wanted);
