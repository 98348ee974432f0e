// SPDX-License-Identifier: MIT
#include "format/values.h"

#include <cstring>

namespace link_format {

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::uint64_t kSecondsPerDay = 86400;
// 100-ns intervals from 1582-10-15 (the UUID epoch) to 1601-01-01 (the FILETIME epoch).
constexpr std::uint64_t kUuidToFileTime = 0x00146BF33E42C000;

// Days from 1601-01-01 to the given date of the proleptic Gregorian calendar.
constexpr std::int64_t DaysFrom1601(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = year / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 584694;  // 584694: days from 0000-03-01 to 1601-01-01
}
static_assert(DaysFrom1601(1601, 1, 1) == 0 && DaysFrom1601(1970, 1, 1) == 134774, "the calendar is off");

// The first FILETIME that is not before the year 10000.
constexpr std::uint64_t kFirstInvalidFileTime =
    static_cast<std::uint64_t>(DaysFrom1601(10000, 1, 1)) * kSecondsPerDay * kTicksPerSecond;

struct CivilDate {
    unsigned year;
    unsigned month;
    unsigned day;
};

// The date days after 1601-01-01 (days >= 0).
CivilDate DateOf(std::uint64_t days) {
    const std::uint64_t shifted = days + 584694;  // from 0000-03-01
    const std::uint64_t era = shifted / 146097;
    const std::uint64_t dayOfEra = shifted - era * 146097;
    const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<unsigned>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const auto year = static_cast<unsigned>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    constexpr unsigned char kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "00" to "99", so that digits go two at a time.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes value as count decimal digits, zero-padded, and returns the end.
char* Digits(char* at, std::uint64_t value, int count) {
    int i = count;
    while (i >= 2) {
        const std::uint64_t pair = value % 100;
        value /= 100;
        i -= 2;
        at[i] = kPairs[2 * pair];
        at[i + 1] = kPairs[2 * pair + 1];
    }
    if (i == 1) {
        at[0] = static_cast<char>('0' + value % 10);
    }
    return at + count;
}

// "YYYY-MM-DDTHH:MM:SS" at text, from a date and the seconds of its day.
// The two digits of a value below 100, in 32-bit arithmetic: a record writes six pairs
// for every time it holds.
char* TwoDigits(char* at, std::uint32_t value) {
    std::memcpy(at, kPairs + 2 * std::size_t{value}, 2);
    return at + 2;
}

char* DateAndTime(char* text, CivilDate date, std::uint64_t secondOfDay) {
    const auto seconds = static_cast<std::uint32_t>(secondOfDay);  // below 86400
    char* at = TwoDigits(text, static_cast<std::uint32_t>(date.year / 100 % 100));
    at = TwoDigits(at, static_cast<std::uint32_t>(date.year % 100));
    *at++ = '-';
    at = TwoDigits(at, static_cast<std::uint32_t>(date.month));
    *at++ = '-';
    at = TwoDigits(at, static_cast<std::uint32_t>(date.day));
    *at++ = 'T';
    at = TwoDigits(at, seconds / 3600);
    *at++ = ':';
    at = TwoDigits(at, seconds / 60 % 60);
    *at++ = ':';
    return TwoDigits(at, seconds % 60);
}

std::uint32_t Data1(const Guid& guid) {
    return static_cast<std::uint32_t>(guid[0]) | static_cast<std::uint32_t>(guid[1]) << 8 |
           static_cast<std::uint32_t>(guid[2]) << 16 | static_cast<std::uint32_t>(guid[3]) << 24;
}
std::uint16_t Data2(const Guid& guid) { return static_cast<std::uint16_t>(guid[4] | guid[5] << 8); }
std::uint16_t Data3(const Guid& guid) { return static_cast<std::uint16_t>(guid[6] | guid[7] << 8); }

struct DosFields {
    unsigned year, month, day, hour, minute, second;
};

DosFields DosFieldsOf(std::uint32_t dosDateTime) {
    const std::uint32_t date = dosDateTime & 0xFFFF;
    const std::uint32_t time = dosDateTime >> 16;
    return {1980 + (date >> 9), (date >> 5) & 0xF, date & 0x1F, time >> 11, (time >> 5) & 0x3F, (time & 0x1F) * 2};
}

}  // namespace

char* UpperHexDigits(char* at, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        at[i] = kUpperHex[value & 0xF];
        value >>= 4;
    }
    return at + count;
}

// The two upper-case hex digits of every byte, so that a GUID's text takes one copy a
// byte: records write a GUID for every item, block and storage.
struct HexPairs {
    char digits[512];
};
constexpr HexPairs MakeHexPairs() {
    HexPairs pairs{};
    for (std::size_t byte = 0; byte < 256; ++byte) {
        pairs.digits[2 * byte] = kUpperHex[byte >> 4];
        pairs.digits[2 * byte + 1] = kUpperHex[byte & 0xF];
    }
    return pairs;
}
constexpr HexPairs kHexPairs = MakeHexPairs();

void GuidText(const Guid& guid, char (&text)[kGuidTextLength]) {
    // Where each byte's two digits go: Data1, Data2 and Data3 are little-endian.
    constexpr unsigned char kPlace[16] = {7, 5, 3, 1, 12, 10, 17, 15, 20, 22, 25, 27, 29, 31, 33, 35};
    text[0] = '{';
    text[9] = text[14] = text[19] = text[24] = '-';
    text[37] = '}';
    for (std::size_t i = 0; i < 16; ++i) {
        std::memcpy(text + kPlace[i], kHexPairs.digits + 2 * std::size_t{guid[i]}, 2);
    }
}

bool FileTimeIsValid(std::uint64_t filetime) { return filetime != 0 && filetime < kFirstInvalidFileTime; }

bool FileTimeText(std::uint64_t filetime, char (&text)[kFileTimeTextLength]) {
    if (!FileTimeIsValid(filetime)) {
        return false;
    }
    const std::uint64_t seconds = filetime / kTicksPerSecond;
    char* at = DateAndTime(text, DateOf(seconds / kSecondsPerDay), seconds % kSecondsPerDay);
    *at++ = '.';
    at = Digits(at, filetime % kTicksPerSecond, 7);
    *at = 'Z';
    return true;
}

bool DosDateTimeText(std::uint32_t dosDateTime, char (&text)[kDosDateTimeTextLength]) {
    const DosFields f = DosFieldsOf(dosDateTime);
    const bool valid = dosDateTime != 0 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
                       f.day <= DaysInMonth(f.year, f.month) && f.hour <= 23 && f.minute <= 59 && f.second <= 58;
    if (valid) {
        DateAndTime(text, {f.year, f.month, f.day}, f.hour * 3600u + f.minute * 60u + f.second);
    }
    return valid;
}

bool IsTimeBasedUuid(const Guid& guid) { return Data3(guid) >> 12 == 1; }

bool UuidFileTime(const Guid& guid, std::uint64_t& filetime) {
    const std::uint64_t timestamp = static_cast<std::uint64_t>(Data3(guid) & 0x0FFF) << 48 |
                                    static_cast<std::uint64_t>(Data2(guid)) << 32 | Data1(guid);
    if (timestamp < kUuidToFileTime) {
        return false;
    }
    filetime = timestamp - kUuidToFileTime;
    return true;
}

void UuidMacAddress(const Guid& guid, char (&text)[kMacAddressTextLength]) {
    char* at = text;
    for (std::size_t i = 10; i < 16; ++i) {
        if (i > 10) {
            *at++ = ':';
        }
        at = UpperHexDigits(at, guid[i], 2);
    }
}

}  // namespace link_format
