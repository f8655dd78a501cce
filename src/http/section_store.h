#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "http/lock.h"

namespace quillark {

struct StoreEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Text values under a section and a key, in the manner of an INI file.
//
// Sections and keys compare byte for byte. A section or key that is blank
// (only ASCII or full-width spaces) is refused; otherwise it is stored with its
// spaces. Section names are listed in order of first use and may be listed
// twice: a section whose entries were removed by key or by Clear stays listed
// and is listed again when it gets a new entry.
//
// Every operation holds the store's own lock while it touches the lists and
// takes no other lock meanwhile, so one store can be shared between threads.
// Loading is a series of SetValue calls: another thread may see it half done.
class SectionStore {
  public:
    SectionStore() = default;
    // A copy has every entry and name and a lock of its own.
    SectionStore(const SectionStore& other);
    SectionStore& operator=(const SectionStore& other);

    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    std::string GetValue(std::string_view section, std::string_view key) const;
    // Removes every entry of the section and every listing of its name.
    bool Remove(std::string_view section);
    // Removes the section's entries with this key; the section stays listed.
    bool Remove(std::string_view section, std::string_view key);
    // Removes every entry; the section names stay listed.
    void Clear();

    int SectionCount() const;
    int KeyCount() const;
    int KeyCount(std::string_view section) const;
    int GetSections(std::vector<std::string>& sections) const;
    int GetKeys(std::string_view section, std::vector<std::string>& keys) const;

    // Merges an INI-like file into the store; false when it cannot be opened.
    //
    // NUL and 0x1A bytes are ordinary bytes here: reading goes on past them to
    // the end of the file, and they stay in the key or value they belong to.
    bool LoadFile(const std::string& path);
    // Writes every entry into the file, keeping whatever else the file holds.
    // False only for a blank path; a failed write is not reported.
    bool SaveFile(const std::string& path) const;
    // Merges lines separated by CR LF. The text is consumed: `text` is left
    // empty. False when it held no line.
    bool LoadLines(std::string& text);

  private:
    std::vector<StoreEntry> CopyEntries() const;
    void LoadLine(std::string_view line, std::string& section);

    std::vector<StoreEntry> entries_;
    std::vector<std::string> names_;
    mutable Lock lock_;
};

}  // namespace quillark
