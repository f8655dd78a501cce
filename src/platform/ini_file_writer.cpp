#include "platform/ini_file_writer.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "text/gbk.h"

namespace quillark {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The section a line names, when it is a section line.
std::optional<std::string> SectionOfLine(std::string_view line) {
    if (gbk::IsBlank(line)) {
        return std::nullopt;
    }
    const std::string trimmed = gbk::Trim(line);
    if (trimmed.front() != '[') {
        return std::nullopt;
    }
    return trimmed.size() >= 2 ? trimmed.substr(1, trimmed.size() - 2) : std::string();
}

// The key a line holds, when it is a key line.
std::optional<std::string> KeyOfLine(std::string_view line) {
    if (gbk::IsBlank(line)) {
        return std::nullopt;
    }
    const std::string trimmed = gbk::Trim(line);
    const long equals = gbk::Find(trimmed, "=");
    if (trimmed.front() == '[' || equals < 0) {
        return std::nullopt;
    }
    return trimmed.substr(0, static_cast<size_t>(equals - 1));
}

// The key as a reader finds it again once written at the start of a line:
// leading spaces go with the trimming of the line.
std::string KeyAsRead(std::string_view key) {
    return *KeyOfLine(std::string(key) + "=");
}

}  // namespace

bool IniFileWriter::Load() {
    lines_.clear();
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) {
        return !error;
    }
    std::ifstream file(path_, std::ios::binary);
    if (!file) {
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines_.push_back(line);
    }
    return !file.bad();
}

bool IniFileWriter::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (gbk::IsBlank(section) || gbk::IsBlank(key) || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || gbk::Find(key, "=") > 0 || gbk::Trim(key).front() == '[') {
        return false;
    }
    const std::string line = std::string(key) + "=" + std::string(value);
    const size_t header = FindSection(section);
    if (header == kNone) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
        return true;
    }
    const std::string wanted_key = KeyAsRead(key);
    size_t insert_at = header + 1;
    for (size_t i = header + 1; i < lines_.size() && !SectionOfLine(lines_[i]); ++i) {
        const std::optional<std::string> existing = KeyOfLine(lines_[i]);
        if (existing && *existing == wanted_key) {
            lines_[i] = line;
            return true;
        }
        if (!gbk::IsBlank(lines_[i])) {
            insert_at = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), line);
    return true;
}

bool IniFileWriter::Commit() const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines_) {
        file << line << "\r\n";
    }
    file.close();
    return static_cast<bool>(file);
}

size_t IniFileWriter::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::optional<std::string> name = SectionOfLine(lines_[i]);
        if (name && *name == section) {
            return i;
        }
    }
    return kNone;
}

}  // namespace quillark
