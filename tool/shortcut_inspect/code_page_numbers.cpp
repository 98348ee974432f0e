// SPDX-License-Identifier: MIT
#include "code_page_numbers.h"

#include <algorithm>
#include <iterator>

namespace inspect {

namespace {

struct NamedPage {
    const char* number;
    const char* name;
};

// The numbers for which glibc's iconv knows no "CP" name; the rest are "CP" and the number.
constexpr NamedPage kNamedPages[] = {
    {"1200", "UTF-16LE"},     {"1201", "UTF-16BE"},     {"10000", "MACINTOSH"},   {"12000", "UTF-32LE"},
    {"12001", "UTF-32BE"},    {"20127", "ASCII"},       {"20866", "KOI8-R"},      {"20932", "EUC-JP"},
    {"21866", "KOI8-U"},      {"28591", "ISO-8859-1"},  {"28592", "ISO-8859-2"},  {"28593", "ISO-8859-3"},
    {"28594", "ISO-8859-4"},  {"28595", "ISO-8859-5"},  {"28596", "ISO-8859-6"},  {"28597", "ISO-8859-7"},
    {"28598", "ISO-8859-8"},  {"28599", "ISO-8859-9"},  {"28603", "ISO-8859-13"}, {"28605", "ISO-8859-15"},
    {"51932", "EUC-JP"},      {"51949", "EUC-KR"},      {"54936", "GB18030"},     {"65001", "UTF-8"},
};

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string IconvCodePageName(const std::string& given) {
    if (!AllDigits(given)) {
        return given;
    }
    const NamedPage* page = std::find_if(std::begin(kNamedPages), std::end(kNamedPages),
                                         [&given](const NamedPage& named) { return given == named.number; });
    return page != std::end(kNamedPages) ? std::string(page->name) : "CP" + given;
}

}  // namespace inspect
