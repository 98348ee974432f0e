// SPDX-License-Identifier: MIT
#include "format/names.h"

namespace link_format {

namespace {

constexpr NamedValue kVariantTypes[] = {
    {0x0000, "VT_EMPTY"},    {0x0001, "VT_NULL"},     {0x0002, "VT_I2"},      {0x0003, "VT_I4"},
    {0x0004, "VT_R4"},       {0x0005, "VT_R8"},       {0x0006, "VT_CY"},      {0x0007, "VT_DATE"},
    {0x0008, "VT_BSTR"},     {0x000A, "VT_ERROR"},    {0x000B, "VT_BOOL"},    {0x000C, "VT_VARIANT"},
    {0x000E, "VT_DECIMAL"},  {0x0010, "VT_I1"},       {0x0011, "VT_UI1"},     {0x0012, "VT_UI2"},
    {0x0013, "VT_UI4"},      {0x0014, "VT_I8"},       {0x0015, "VT_UI8"},     {0x0016, "VT_INT"},
    {0x0017, "VT_UINT"},     {0x001E, "VT_LPSTR"},    {0x001F, "VT_LPWSTR"},  {0x0040, "VT_FILETIME"},
    {0x0041, "VT_BLOB"},     {0x0042, "VT_STREAM"},   {0x0043, "VT_STORAGE"}, {0x0044, "VT_STREAMED_OBJECT"},
    {0x0045, "VT_STORED_OBJECT"}, {0x0046, "VT_BLOB_OBJECT"}, {0x0047, "VT_CF"}, {0x0048, "VT_CLSID"},
    {0x0049, "VT_VERSIONED_STREAM"},
};

}  // namespace

const char* VariantTypeName(std::uint16_t type) { return NameOf(kVariantTypes, type); }

const char* HotKeyName(std::uint8_t virtualKey, char (&text)[12]) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        text[0] = static_cast<char>(virtualKey);
        text[1] = '\0';
        return text;
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87) {  // VK_F1 ... VK_F24
        const unsigned number = virtualKey - 0x6Fu;
        char* at = text;
        *at++ = 'F';
        if (number >= 10) {
            *at++ = static_cast<char>('0' + number / 10);
        }
        *at++ = static_cast<char>('0' + number % 10);
        *at = '\0';
        return text;
    }
    if (virtualKey == 0x90) {
        return "NUM LOCK";
    }
    if (virtualKey == 0x91) {
        return "SCROLL LOCK";
    }
    return nullptr;
}

}  // namespace link_format
