// Recognising the TPF file with which an engineering system calls the tool.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

// The namespace that a TPF file of the tool calling interface names on its second line.
inline constexpr std::string_view kTpfNamespaceUri = "http://www.profibus.com/TCI/2006/03/TPF";

// True when the file's second line contains the TPF namespace. Throws FileError (from
// xml/whole_file.h) when the file cannot be opened or is not a regular file (a folder, a pipe,
// a device); a file with fewer than two lines is not a TPF file. Lines of any length are fine;
// neither is held in memory.
bool IsTpfFile(const std::string& path);

}  // namespace norvane
