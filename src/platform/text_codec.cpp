#include "platform/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace quillark {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    // Aliases such as "windows-936" report U_AMBIGUOUS_ALIAS_WARNING: that is success.
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return converter;
}

// Converters are not thread-safe, and opening one costs more than a short
// conversion, so each thread keeps its own GBK converter.
UConverter* ThreadGbkConverter() {
    thread_local ConverterPtr converter = [] {
        ConverterPtr opened = OpenConverter("windows-936-2000");
        if (opened) {
            UErrorCode status = U_ZERO_ERROR;
            ucnv_setSubstChars(opened.get(), "?", 1, &status);
        }
        return opened;
    }();
    return converter.get();
}

std::u16string Decode(UConverter* converter, std::string_view bytes) {
    std::u16string out;
    if (bytes.empty() || converter == nullptr) {
        return out;
    }
    // A byte never yields more than one UTF-16 unit in the code pages we read,
    // so one unit per byte is enough; a converter that needs more (a charset
    // with surrogate pairs) gets a larger buffer and starts again.
    for (size_t capacity = bytes.size() + 4;; capacity *= 2) {
        ucnv_resetToUnicode(converter);
        out.resize(capacity);
        UChar* target = out.data();
        const char* source = bytes.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, out.data() + out.size(), &source,
                       bytes.data() + bytes.size(), nullptr, true, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        if (U_FAILURE(status)) {
            return {};
        }
        out.resize(static_cast<size_t>(target - out.data()));
        return out;
    }
}

std::string Encode(UConverter* converter, std::u16string_view text) {
    std::string out;
    if (text.empty() || converter == nullptr) {
        return out;
    }
    ucnv_resetFromUnicode(converter);
    out.resize(text.size() * static_cast<size_t>(ucnv_getMaxCharSize(converter)) + 4);
    char* target = out.data();
    const UChar* source = text.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source,
                     text.data() + text.size(), nullptr, true, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

}  // namespace

std::u16string TextCodec::GbkToUtf16(std::string_view gbk) {
    return Decode(ThreadGbkConverter(), gbk);
}

std::string TextCodec::Utf16ToGbk(std::u16string_view utf16) {
    return Encode(ThreadGbkConverter(), utf16);
}

std::string TextCodec::GbkToUtf8(std::string_view gbk) {
    return Utf16ToUtf8(GbkToUtf16(gbk));
}

std::string TextCodec::Utf8ToGbk(std::string_view utf8) {
    return Utf16ToGbk(Utf8ToUtf16(utf8));
}

std::string TextCodec::Utf16ToGbkPrefix(std::u16string_view utf16) {
    utf16 = utf16.substr(0, utf16.find(u'\0'));
    ConverterPtr converter = OpenConverter("windows-936-2000");
    std::string out;
    if (!converter || utf16.empty()) {
        return out;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    out.resize(utf16.size() * 2 + 2);
    char* target = out.data();
    const UChar* source = utf16.data();
    status = U_ZERO_ERROR;
    // On an unmappable character or a lone surrogate the converter stops with
    // an error; what it wrote before that is the prefix we want.
    ucnv_fromUnicode(converter.get(), &target, out.data() + out.size(), &source,
                     utf16.data() + utf16.size(), nullptr, true, &status);
    out.resize(static_cast<size_t>(target - out.data()));
    return out;
}

bool TextCodec::DecodeCharset(std::string_view bytes, const char* charset, std::u16string& out) {
    out.clear();
    ConverterPtr converter = OpenConverter(charset);
    if (!converter) {
        return false;
    }
    out = Decode(converter.get(), bytes);
    return true;
}

std::u16string TextCodec::Utf8ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string TextCodec::Utf16ToUtf8(std::u16string_view utf16) {
    std::string out(utf16.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf16.data(),
                       static_cast<int32_t>(utf16.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        return {};
    }
    out.resize(static_cast<size_t>(length));
    return out;
}

}  // namespace quillark
