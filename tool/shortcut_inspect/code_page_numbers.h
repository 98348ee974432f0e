// SPDX-License-Identifier: MIT
// Windows code page numbers (1252, 932, 65001, ...) as iconv names them, so that
// --codepage takes the number a Windows tool or a registry value gives.
#ifndef SHORTCUT_INSPECT_CODE_PAGE_NUMBERS_H
#define SHORTCUT_INSPECT_CODE_PAGE_NUMBERS_H

#include <string>

namespace inspect {

// The iconv name of a code page given as all digits: glibc's own name where it differs
// from "CP" and the number, else "CP" and the number. Anything else is returned as it is.
std::string IconvCodePageName(const std::string& given);

}  // namespace inspect

#endif
