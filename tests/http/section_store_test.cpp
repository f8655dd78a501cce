#include "http/section_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "text/gbk_literal.h"

namespace quillark {
namespace {

using namespace literals;
using namespace std::string_literals;

std::vector<std::string> Sections(const SectionStore& store) {
    std::vector<std::string> names;
    store.GetSections(names);
    return names;
}

std::vector<std::string> Keys(const SectionStore& store, std::string_view section) {
    std::vector<std::string> keys;
    store.GetKeys(section, keys);
    return keys;
}

class TempFile {
  public:
    TempFile() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("quillark_store_" + std::to_string(::getpid()) + "_" + std::to_string(++counter) +
                 ".ini");
    }
    ~TempFile() { std::filesystem::remove(path_); }
    std::string path() const { return path_.string(); }
    void Write(std::string_view bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Read() const {
        std::ifstream file(path_, std::ios::binary);
        std::ostringstream out;
        out << file.rdbuf();
        return out.str();
    }

  private:
    std::filesystem::path path_;
};

TEST(SectionStore, RefusesBlankNamesAndKeepsSpacesOtherwise) {
    SectionStore store;
    EXPECT_FALSE(store.SetValue("s", "  ", "v"));
    EXPECT_FALSE(store.SetValue("\xA1\xA1", "k", "v"));  // full-width space only
    EXPECT_FALSE(store.SetValue("", "k", "v"));
    EXPECT_EQ(store.KeyCount(), 0);
    EXPECT_EQ(store.SectionCount(), 0);

    EXPECT_TRUE(store.SetValue("s", " a", "1"));
    EXPECT_EQ(store.GetValue("s", " a"), "1");
    EXPECT_EQ(store.GetValue("s", "a"), "");
    EXPECT_EQ(store.GetValue("S", " a"), "");  // case-sensitive
    EXPECT_EQ(store.GetValue(" ", " a"), "");
}

TEST(SectionStore, SecondSetReplacesInPlace) {
    SectionStore store;
    store.SetValue("s", "a", "1");
    store.SetValue("s", "b", "2");
    store.SetValue("s", "a", "3");
    EXPECT_EQ(Keys(store, "s"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(store.GetValue("s", "a"), "3");
    EXPECT_EQ(store.KeyCount("s"), 2);
    EXPECT_EQ(store.SectionCount(), 1);
}

TEST(SectionStore, RemoveByKeyKeepsTheNameAndItCanBeListedTwice) {
    SectionStore store;
    store.SetValue("s", "a", "1");
    store.SetValue("t", "a", "1");
    EXPECT_TRUE(store.Remove("s", "a"));
    EXPECT_EQ(store.KeyCount("s"), 0);
    EXPECT_EQ(Sections(store), (std::vector<std::string>{"s", "t"}));
    store.SetValue("s", "b", "2");
    EXPECT_EQ(Sections(store), (std::vector<std::string>{"s", "t", "s"}));

    // Without a key: every entry and every listing of the name go.
    EXPECT_TRUE(store.Remove("s"));
    EXPECT_EQ(Sections(store), (std::vector<std::string>{"t"}));
    EXPECT_EQ(store.KeyCount(), 1);
    EXPECT_FALSE(store.Remove("  "));
    EXPECT_TRUE(store.Remove("nothing"));
}

TEST(SectionStore, ClearEmptiesEntriesButNotNames) {
    SectionStore store;
    store.SetValue("s", "a", "1");
    store.SetValue("t", "a", "1");
    store.Clear();
    EXPECT_EQ(store.KeyCount(), 0);
    EXPECT_EQ(store.SectionCount(), 2);
}

TEST(SectionStore, CopyIsDeepAndIndependent) {
    SectionStore store;
    store.SetValue("s", "a", "1");
    SectionStore copy(store);
    copy.SetValue("s", "a", "2");
    store.SetValue("t", "b", "3");
    EXPECT_EQ(store.GetValue("s", "a"), "1");
    EXPECT_EQ(copy.GetValue("s", "a"), "2");
    EXPECT_EQ(copy.SectionCount(), 1);
}

TEST(SectionStoreLoadLines, ReadsSectionsAndKeysAsWritten) {
    SectionStore store;
    std::string text = "key=1\r\n[s]\r\n a = b \r\nc==d\r\n; note=x\r\nno equals\r\n\r\n[s\r\nz=9";
    EXPECT_TRUE(store.LoadLines(text));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(Keys(store, "s"), (std::vector<std::string>{"a ", "c", "; note"}));
    EXPECT_EQ(store.GetValue("s", "a "), " b");
    EXPECT_EQ(store.GetValue("s", "c"), "=d");
    // "[s" names the empty section, so z is refused.
    EXPECT_EQ(store.KeyCount(), 3);
    EXPECT_EQ(Sections(store), (std::vector<std::string>{"s"}));
}

TEST(SectionStoreLoadLines, LineFeedAloneDoesNotSplitAndEmptyTextHasNoLines) {
    SectionStore store;
    std::string text = "[s]\nk=v";
    EXPECT_TRUE(store.LoadLines(text));
    // One line "[s]\nk=v": a section line named "s]\nk=" up to its last byte.
    EXPECT_EQ(store.KeyCount(), 0);

    std::string empty;
    EXPECT_FALSE(store.LoadLines(empty));
}

TEST(SectionStoreLoadFile, MergesAndReadsPastNulAndEof) {
    TempFile file;
    file.Write("[s]\r\na=1\nb=x\0y\x1Az\r\n[\xC4\xE3]\r\nk=v"s);
    SectionStore store;
    store.SetValue("old", "k", "kept");
    ASSERT_TRUE(store.LoadFile(file.path()));
    EXPECT_EQ(store.GetValue("old", "k"), "kept");
    EXPECT_EQ(store.GetValue("s", "a"), "1");
    EXPECT_EQ(store.GetValue("s", "b"), std::string("x\0y\x1Az", 5));
    EXPECT_EQ(store.GetValue("\xC4\xE3", "k"), "v");

    EXPECT_FALSE(store.LoadFile(file.path() + ".missing"));
}

TEST(SectionStoreSaveFile, WritesCrLfLayoutThatLoadsBack) {
    TempFile file;
    SectionStore store;
    store.SetValue("s", "a", "1");
    store.SetValue("t", "b", "2");
    store.SetValue("s", "c", "3");
    ASSERT_TRUE(store.SaveFile(file.path()));
    EXPECT_EQ(file.Read(), "[s]\r\na=1\r\nc=3\r\n[t]\r\nb=2\r\n");

    SectionStore loaded;
    ASSERT_TRUE(loaded.LoadFile(file.path()));
    EXPECT_EQ(loaded.GetValue("s", "c"), "3");
    EXPECT_EQ(loaded.GetValue("t", "b"), "2");
    EXPECT_FALSE(store.SaveFile(" \xA1\xA1 "));
}

TEST(SectionStoreSaveFile, UpdatesInPlaceAndKeepsOtherLines) {
    TempFile file;
    file.Write("; heading\n[s]\r\na=old\r\n# kept\r\nother line\r\n\r\n[u]\r\nx=1\r\n");
    SectionStore store;
    store.SetValue("s", "a", "new");
    store.SetValue("s", "b", "added");
    store.SetValue("v", "y", "2");
    store.SetValue("u", "x", "1");
    ASSERT_TRUE(store.SaveFile(file.path()));
    EXPECT_EQ(file.Read(),
              "; heading\r\n[s]\r\na=new\r\n# kept\r\nother line\r\nb=added\r\n\r\n"
              "[u]\r\nx=1\r\n[v]\r\ny=2\r\n");
    // Saving again changes nothing: keys with leading spaces are found as read back.
    store.SetValue("v", " z", "3");
    ASSERT_TRUE(store.SaveFile(file.path()));
    const std::string once = file.Read();
    ASSERT_TRUE(store.SaveFile(file.path()));
    EXPECT_EQ(file.Read(), once);
}

TEST(SectionStoreSaveFile, SkipsEntriesThatWouldBreakTheLayout) {
    TempFile file;
    SectionStore store;
    store.SetValue("s", "a", "1\r\n[evil]\r\nx=2");
    store.SetValue("s", "k=j", "2");
    store.SetValue("s", "[t]", "3");
    store.SetValue("s", "ok", "4");
    ASSERT_TRUE(store.SaveFile(file.path()));
    EXPECT_EQ(file.Read(), "[s]\r\nok=4\r\n");
}

TEST(SectionStore, ConcurrentWritersKeepOneEntryPerKey) {
    SectionStore store;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&store, t] {
            for (int i = 0; i < 200; ++i) {
                store.SetValue("s", "k" + std::to_string(i % 50), std::to_string(t));
                store.GetValue("s", "k1");
                store.KeyCount("s");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(store.KeyCount("s"), 50);
    EXPECT_EQ(store.SectionCount(), 1);
}

}  // namespace
}  // namespace quillark
