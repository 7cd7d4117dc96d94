#pragma once

#include <cstddef>
#include <string>

// Small text helpers of the window layer. Every routine that writes into a
// caller buffer takes its capacity and always leaves a NUL-terminated text,
// whatever the system handed over.

// Copies at most capacity - 1 characters of text (stopping at its first NUL or
// after sourceLimit characters) and terminates. A null text copies "".
void CopyTextBounded(char* out, std::size_t capacity, const char* text,
                     std::size_t sourceLimit = static_cast<std::size_t>(-1));

// UTF-8 form of a UTF-16 text held in a block of `capacity` characters; the
// text ends at its first NUL or at the end of the block, whichever is first.
// False (and "") for a null block or a text that cannot be converted.
bool Utf16BlockToUtf8(const wchar_t* text, std::size_t capacity, std::string& out);

// The directory part of a path, up to and including its last '\'. Empty when
// the path has no '\' or ends with it.
std::string DirectoryOfPath(const char* path);

// True when the text after the last '.' of the name is "png" in any case.
bool HasPngExtension(const char* fileName);

// Builds the file-dialog filter for space-separated extension words: the
// pattern "*.a;*.b" twice, each NUL-terminated, then a final NUL; and the
// default extension (the first word). Refuses (false) a list whose pattern is
// longer than kMaxFilterPattern characters or whose first word is longer than
// kMaxDefaultExtension characters, and an empty list.
constexpr std::size_t kMaxFilterPattern = 126;
constexpr std::size_t kMaxDefaultExtension = 15;
bool BuildExtensionFilter(const char* extensions, std::string& filter, std::string& defaultExtension);

// Reads a decimal number the way the text entry does: optional leading sign,
// digits with at most one decimal point; reading stops at the first other
// character; no digits gives 0.
double ReadDecimalText(const char* text);

// Which typed characters an entry accepts: backspace always; for parameter
// type codes 1, 2 and 3 the signs and digits; for 4 also the full stop;
// everything for other type codes and for free-text entries.
bool EntryAcceptsChar(bool hasParameter, int typeCode, unsigned character);

// The editor's key code for a virtual key, or -1 for keys the controls never
// see (those go to the host).
int KeyCodeForVirtualKey(unsigned virtualKey);
