// The settings file's INI format, read and written with the rules of the Windows profile
// functions the tool was first written against (GetPrivateProfileIntA,
// GetPrivateProfileStringA, WritePrivateProfileStringA), so that existing settings files keep
// their meaning.
//
// Format, as these functions read it:
// - Lines end in LF or CRLF.
// - A line whose first non-blank character is '[' opens a section; its name runs to the first
//   ']' (or to the end of the line when there is none), without surrounding blanks.
// - A line with an '=' inside a section sets a key: the key is the text before the first '=',
//   the value the text after it, both without surrounding blanks (spaces and tabs). A value
//   enclosed in one pair of matching quotes (double or single) loses them.
// - Every other line is kept but means nothing. There is no comment syntax of its own: a line
//   ";x=1" sets the key ";x", which no reader asks for.
// - Section and key names are matched ignoring ASCII case. Only the first matching section is
//   looked at, and in it the first matching key wins.
// - A value ends at its first NUL byte, as it would in the fixed C text fields it was once
//   copied into.
//
// Every call reads the file again: an edit made while the program runs is seen by the next
// read. A missing or unreadable file reads as a file without keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

// The leading decimal number of the key's value, modulo 2^32 (so "-1" gives 0xFFFFFFFF);
// `defaultValue` when the key is missing or its value is empty.
uint32_t IniReadInt(const std::string& path, std::string_view section, std::string_view key,
                    uint32_t defaultValue);

// The key's value, or `defaultValue` when the key is missing, cut to a reader's buffer of
// `bufferSize` characters counting the terminator: at most bufferSize - 1 characters. The
// size of the result is the number of characters delivered; a key that is present but empty
// delivers none.
std::string IniReadString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue, size_t bufferSize);

// Sets the key to `value`: the key's line is rewritten in place, or the key is added after the
// last non-blank line of its section, or a new section holding the key is added at the end of
// the file. All other bytes of the file stay as they were, and added lines use the file's
// line ending (CRLF when its first line ends so, LF otherwise). The file is replaced as a
// whole (written aside, then renamed over the old one), under a lock on "<path>.lock" so that
// concurrent writers of different keys lose nothing; temporary files of an earlier writer
// that was killed before its rename, older than a minute, are removed on the way.
//
// A value that the reader would change (blanks at either end, or enclosed in a pair of
// matching quotes) is written enclosed in double quotes, which the reader removes again; every
// other value is written as it is.
//
// Returns false, and leaves the file alone, when
// - the file does not exist or cannot be read: the settings file is installed with the
//   program, and a write must not quietly create a new one somewhere else;
// - this process may not write the file (its mode bits say so), even where the folder would
//   let the file be replaced;
// - the lock beside the file cannot be taken within a few seconds;
// - the section, key or value could not be read back as written (an empty name, a line break
//   or NUL byte anywhere, an '=' or a leading '[' in the key, a ']' in the section, blanks
//   around a name);
// - the new file cannot be written.
bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value);

}  // namespace norvane
