// Reading a TPF file: the subsystems it describes, the calling device, the selected module and
// its parameter data, converted from hexadecimal text into bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tci/tci_data.h"
#include "xml/xml_tree.h"

namespace norvane {

// One SubsystemItem element of a TPF file.
struct TpfSubsystem {
    const XmlElement* element = nullptr;
    std::string name;
    std::string busCategory;
    const XmlElement* deviceList = nullptr;  // null when the item has none
};

// Appends every SubsystemItem below `element` (depth first, document order; a nested item
// after its parent).
void CollectSubsystems(const XmlElement* element, std::vector<TpfSubsystem>& subsystemList);

// Reads the device and the selected module of the first subsystem that has one into `tci`.
// True when a ModuleItem with IsSelected "true" was found; the rest of `tci` is filled either
// way, from the last subsystem examined.
bool ReadTpfDevice(const std::vector<TpfSubsystem>& subsystemList, TciData& tci);

// Converts `count` pairs of hexadecimal characters of `text` into buffer[0 ... count - 1] and
// sets buffer[count] to 0. Nothing changes (and the result is 0) when count is not positive
// or not below the buffer's size; otherwise the result is 2 x count. A pair whose first
// character is not a hexadecimal digit gives 0; one whose second character is not gives the
// value of the first digit. Characters beyond the end of `text` count as no digit.
int HexToBytes(std::string_view text, int64_t count, std::span<uint8_t> buffer);

// How reading a TPF file went, before the catalog is consulted.
enum class TpfReadStatus {
    Ok,
    CannotOpen,  // the file cannot be opened for the format test
    NotTpf,      // the second line lacks the TPF namespace
    CannotRead,  // the file cannot be read into memory (or is empty)
    NotParsed,   // the text is not a tree
};

// A TPF file as read, with everything that `TciData` refers to; keep it as long as that.
struct TpfDocument {
    std::string text;
    XmlRoot doc;
    std::vector<TpfSubsystem> subsystemList;
};

// The reading part of a TCI start: the format test, the whole-file read, the parse, collecting
// the subsystems and reading the device. `tci` is cleared first; `tpf` holds the tree.
TpfReadStatus ReadTpfCall(const std::string& path, TpfDocument& tpf, TciData& tci);

// The parse and the reading of a TPF text already in memory (the part of ReadTpfCall after the
// file was read); false when the text is not a tree. `tci` is cleared first.
bool ReadTpfText(std::string text, TpfDocument& tpf, TciData& tci);

// Removes the TPF file once the call has been taken over; false when it could not be removed
// (including when it is gone already).
bool DeleteTpfFile(const std::string& path);

}  // namespace norvane
