#include "http/section_store.h"

#include <algorithm>
#include <fstream>

#include "platform/ini_file_writer.h"
#include "text/gbk.h"

namespace quillark {

SectionStore::SectionStore(const SectionStore& other) {
    std::lock_guard guard(other.lock_);
    entries_ = other.entries_;
    names_ = other.names_;
}

SectionStore& SectionStore::operator=(const SectionStore& other) {
    if (this == &other) {
        return *this;
    }
    // Copy under the other lock, then swap in under ours: never both at once.
    SectionStore copy(other);
    std::lock_guard guard(lock_);
    entries_.swap(copy.entries_);
    names_.swap(copy.names_);
    return *this;
}

bool SectionStore::SetValue(std::string_view section, std::string_view key,
                            std::string_view value) {
    if (gbk::IsBlank(key) || gbk::IsBlank(section)) {
        return false;
    }
    std::lock_guard guard(lock_);
    bool section_seen = false;
    for (StoreEntry& entry : entries_) {
        if (entry.section != section) {
            continue;
        }
        section_seen = true;
        if (entry.key == key) {
            entry.value = value;
            return true;
        }
    }
    entries_.push_back({std::string(section), std::string(key), std::string(value)});
    if (!section_seen) {
        names_.emplace_back(section);
    }
    return true;
}

std::string SectionStore::GetValue(std::string_view section, std::string_view key) const {
    if (gbk::IsBlank(key) || gbk::IsBlank(section)) {
        return {};
    }
    std::lock_guard guard(lock_);
    for (const StoreEntry& entry : entries_) {
        if (entry.section == section && entry.key == key) {
            return entry.value;
        }
    }
    return {};
}

bool SectionStore::Remove(std::string_view section) {
    if (gbk::IsBlank(section)) {
        return false;
    }
    std::lock_guard guard(lock_);
    std::erase_if(entries_, [&](const StoreEntry& entry) { return entry.section == section; });
    std::erase(names_, section);
    return true;
}

bool SectionStore::Remove(std::string_view section, std::string_view key) {
    if (gbk::IsBlank(section)) {
        return false;
    }
    std::lock_guard guard(lock_);
    std::erase_if(entries_, [&](const StoreEntry& entry) {
        return entry.section == section && entry.key == key;
    });
    return true;
}

void SectionStore::Clear() {
    std::lock_guard guard(lock_);
    entries_.clear();
}

int SectionStore::SectionCount() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(names_.size());
}

int SectionStore::KeyCount() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(entries_.size());
}

int SectionStore::KeyCount(std::string_view section) const {
    const std::vector<StoreEntry> entries = CopyEntries();
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const auto& entry) {
        return entry.section == section;
    }));
}

int SectionStore::GetSections(std::vector<std::string>& sections) const {
    std::lock_guard guard(lock_);
    sections = names_;
    return static_cast<int>(sections.size());
}

int SectionStore::GetKeys(std::string_view section, std::vector<std::string>& keys) const {
    const std::vector<StoreEntry> entries = CopyEntries();
    keys.clear();
    for (const StoreEntry& entry : entries) {
        if (entry.section == section) {
            keys.push_back(entry.key);
        }
    }
    return static_cast<int>(keys.size());
}

bool SectionStore::LoadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::string section;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        LoadLine(line, section);
    }
    return true;
}

bool SectionStore::SaveFile(const std::string& path) const {
    const std::vector<StoreEntry> entries = CopyEntries();
    if (gbk::IsBlank(path)) {
        return false;
    }
    IniFileWriter writer(path);
    if (!writer.Load()) {
        return true;
    }
    for (const StoreEntry& entry : entries) {
        writer.WriteString(entry.section, entry.key, entry.value);
    }
    writer.Commit();
    return true;
}

bool SectionStore::LoadLines(std::string& text) {
    const std::vector<std::string> lines = gbk::Split(text, "\r\n");
    text.clear();
    if (lines.empty()) {
        return false;
    }
    std::string section;
    for (const std::string& line : lines) {
        LoadLine(line, section);
    }
    return true;
}

std::vector<StoreEntry> SectionStore::CopyEntries() const {
    std::lock_guard guard(lock_);
    return entries_;
}

void SectionStore::LoadLine(std::string_view line, std::string& section) {
    if (gbk::IsBlank(line)) {
        return;
    }
    const std::string trimmed = gbk::Trim(line);
    if (trimmed.front() == '[') {
        // The closing bracket is not looked for: the last byte goes whatever it is.
        section = trimmed.size() >= 2 ? trimmed.substr(1, trimmed.size() - 2) : std::string();
        return;
    }
    const long equals = gbk::Find(trimmed, "=");
    if (equals < 0) {
        return;
    }
    const size_t at = static_cast<size_t>(equals - 1);
    SetValue(section, std::string_view(trimmed).substr(0, at),
             std::string_view(trimmed).substr(at + 1));
}

}  // namespace quillark
