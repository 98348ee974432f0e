// SPDX-License-Identifier: MIT
// Code-page text through iconv, always ending as valid UTF-8: glibc's iconv passes code
// points past U+10FFFF through (from UTF-8 and UCS-4, for instance), so what it gives is
// checked, and every ill-formed part becomes U+FFFD. Nothing depends on the process locale.
#include <errno.h>
#include <iconv.h>

#include <shortcut_reader/shell_link.h>

#include <cstring>

#include "text/utf8.h"

namespace shell_link {

namespace {

using detail::kReplacement;
using detail::kReplacementBytes;

// iconv_open's failure value.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
// A text longer than this is measured before it is decoded, so that its UTF-8 form takes
// its own size once, not the regrowth of a guess.
constexpr std::size_t kMeasuredAbove = std::size_t{64} << 10;

// Every byte below 0x80 decodes to itself: then texts of such bytes need no iconv call.
bool DecodesAsciiAsItself(iconv_t converter) {
    char ascii[127];
    for (int i = 0; i < 127; ++i) {
        ascii[i] = static_cast<char>(i + 1);
    }
    char out[127 * 4];
    char* in = ascii;
    std::size_t inLeft = sizeof ascii;
    char* to = out;
    std::size_t outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    const bool converted = iconv(converter, &in, &inLeft, &to, &outLeft) != kFailed;
    return converted && inLeft == 0 && static_cast<std::size_t>(to - out) == sizeof ascii &&
           std::memcmp(out, ascii, sizeof ascii) == 0;
}

// Where iconv writes: into a string it grows, or, to measure, into a scratch buffer it
// only counts.
class Sink {
public:
    // Into out from its end, with room for about expected bytes first.
    // cppcheck-suppress uninitMemberVar
    Sink(std::string& out, std::size_t expected) : out_(&out), used_(out.size()) {
        out.resize(used_ + expected + 16);
    }
    // Counting only. The scratch is written before it would be read, and never read.
    // cppcheck-suppress uninitMemberVar
    Sink() = default;

    char* at() { return out_ != nullptr ? &(*out_)[used_] : scratch_; }
    std::size_t room() const { return out_ != nullptr ? out_->size() - used_ : sizeof scratch_; }
    // After iconv wrote up to to.
    void Wrote(const char* to) { Advance(static_cast<std::size_t>(to - at())); }
    void Replacement() {
        if (room() < kReplacementBytes) {
            MakeRoom();
        }
        if (out_ != nullptr) {
            std::memcpy(at(), kReplacement, kReplacementBytes);
        }
        Advance(kReplacementBytes);
    }
    void MakeRoom() {
        if (out_ != nullptr) {
            out_->resize(out_->size() + out_->size() / 2 + 16);
        }  // the scratch is written from its start each time: it always has room
    }
    // The size of what was written.
    std::size_t Finish() {
        if (out_ != nullptr) {
            out_->resize(used_);
        }
        return used_;
    }

private:
    void Advance(std::size_t count) { used_ += count; }

    std::string* out_ = nullptr;
    std::size_t used_ = 0;  // in out_, from its start; or counted
    char scratch_[16 << 10];
};

// Converts size bytes into sink, each byte that does not decode as U+FFFD; false when one
// did not.
bool Convert(iconv_t converter, const unsigned char* bytes, std::size_t size, Sink& sink) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    bool decoded = true;
    // iconv takes a char** it never writes through.
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char* to = sink.at();
        std::size_t outLeft = sink.room();
        const std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
        const int error = errno;
        sink.Wrote(to);
        if (result != kFailed) {
            break;  // all of it decoded
        }
        if (error == E2BIG) {
            sink.MakeRoom();
            continue;
        }
        // EILSEQ, or EINVAL for a sequence the input cuts short: the byte becomes U+FFFD.
        sink.Replacement();
        ++in;
        --inLeft;
        decoded = false;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    // A stateful encoding ends its shift once the input is used up.
    for (;;) {
        char* to = sink.at();
        std::size_t outLeft = sink.room();
        const std::size_t result = iconv(converter, nullptr, nullptr, &to, &outLeft);
        const int error = errno;
        sink.Wrote(to);
        if (result != kFailed || error != E2BIG) {
            break;
        }
        sink.MakeRoom();
    }
    return decoded;
}

// Makes out's bytes from start on valid UTF-8; false when some were not.
bool KeepValid(std::string& out, std::size_t start) {
    const std::string_view decoded(out.data() + start, out.size() - start);
    if (detail::IsAscii(reinterpret_cast<const unsigned char*>(decoded.data()), decoded.size()) ||
        detail::IsValidUtf8(decoded)) {
        return true;
    }
    std::string valid;
    valid.reserve(start + detail::ValidUtf8Length(decoded));
    valid.append(out, 0, start);
    detail::AppendValidUtf8(decoded, valid);
    out.swap(valid);
    return false;
}

// What a code page that iconv lacks gives: ASCII, and U+FFFD for every other byte.
bool DecodeAsciiOnly(const unsigned char* bytes, std::size_t size, std::string& out) {
    bool decoded = true;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] < 0x80) {
            out.push_back(static_cast<char>(bytes[i]));
        } else {
            out.append(kReplacement, kReplacementBytes);
            decoded = false;
        }
    }
    return decoded;
}

// The size of the UTF-8 form of a long text, counted in a scratch of the stack: apart
// from the decoding, so that only a long text sets up that scratch.
std::size_t ConvertedSize(iconv_t converter, const unsigned char* bytes, std::size_t size) {
    Sink counter;
    Convert(converter, bytes, size, counter);
    return counter.Finish();
}

bool DecodeThrough(iconv_t converter, const unsigned char* bytes, std::size_t size, std::string& out) {
    const std::size_t start = out.size();
    // Most code pages' texts take little more in UTF-8 than one byte each; a long one is
    // measured first.
    const std::size_t expected = size > kMeasuredAbove ? ConvertedSize(converter, bytes, size) : size;
    Sink sink(out, expected);
    bool decoded = Convert(converter, bytes, size, sink);
    sink.Finish();
    decoded = KeepValid(out, start) && decoded;
    if (out.capacity() - out.size() > (std::size_t{64} << 10) && out.capacity() > 2 * (out.size() - start)) {
        out.shrink_to_fit();
    }
    return decoded;
}

}  // namespace

CodePage::CodePage(const char* name)
    : name_(name == nullptr ? "" : name),
      converter_(name == nullptr ? kNoConverter : iconv_open("UTF-8", name)),
      asciiCompatible_(true) {
    if (converter_ != kNoConverter) {
        asciiCompatible_ = DecodesAsciiAsItself(static_cast<iconv_t>(converter_));
    }
}

CodePage::~CodePage() {
    if (converter_ != kNoConverter) {
        iconv_close(static_cast<iconv_t>(converter_));
    }
}

bool CodePage::valid() const { return converter_ != kNoConverter; }

bool CodePage::Decode(const unsigned char* bytes, std::size_t size, std::string& out) {
    if (asciiCompatible_ && detail::IsAscii(bytes, size)) {
        out.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    }
    if (converter_ == kNoConverter) {
        return DecodeAsciiOnly(bytes, size, out);
    }
    return DecodeThrough(static_cast<iconv_t>(converter_), bytes, size, out);
}

}  // namespace shell_link
