#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// Writes keys into an INI file while keeping the rest of it.
//
// The file is read once by Load, changed in memory by WriteString and written
// back by Commit, so saving many keys costs one read and one write. Layout:
// "[section]" lines followed by "key=value" lines, every line ended by CR LF.
// A key is updated in place; a missing key goes after the last key line of its
// section; a missing section goes at the end. Every other line (comments,
// blank lines, lines without "=") is kept as it was, with its ending made CR LF.
//
// Sections and keys are recognised as SectionStore::LoadFile reads them: a line
// is trimmed of spaces, a "[" line names the section (its first and last bytes
// dropped) and a key runs to the first "=". Names compare byte for byte.
class IniFileWriter {
  public:
    explicit IniFileWriter(std::string path) : path_(std::move(path)) {}

    // Reads the existing file; a missing file counts as empty. False when the
    // file exists but cannot be read, so that Commit would lose its contents.
    bool Load();

    // False, changing nothing, for what the layout cannot carry and read back
    // as written: a blank section or key, a line break anywhere, a key holding
    // "=" or a key that would read as a section line.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Writes the lines back; false when the file could not be written.
    bool Commit() const;

  private:
    // Index of the "[section]" line, or npos.
    size_t FindSection(std::string_view section) const;

    std::string path_;
    std::vector<std::string> lines_;
};

}  // namespace quillark
