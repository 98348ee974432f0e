// SPDX-License-Identifier: MIT
// shortcut_reader._native: the complete reader for Python. It reads a link from a path or
// from a buffer, with the GIL released, and hands back the record's JSON line; the
// package (shortcut_reader/__init__.py) turns that into Python values, so the dict is
// json.loads of the very line shortcut_inspect writes.
#include <pybind11/pybind11.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <errno.h>

#include <map>
#include <memory>
#include <new>
#include <string>

namespace py = pybind11;

namespace {

// Each thread keeps its own converters, by name: decoding changes a converter's state.
shell_link::CodePage& CodePageNamed(const std::string& name) {
    thread_local std::map<std::string, std::unique_ptr<shell_link::CodePage>> pages;
    const auto found = pages.find(name);
    if (found != pages.end()) {
        return *found->second;
    }
    auto page = std::make_unique<shell_link::CodePage>(name.c_str());
    if (!page->valid()) {
        throw py::value_error("iconv has no code page named '" + name + "' (see iconv --list)");
    }
    return *pages.emplace(name, std::move(page)).first->second;
}

// The record's line; a read that runs out of memory has a record of its own, as in
// shortcut_inspect.
template <typename Read>
std::string RecordLine(const std::string& path, Read read) {
    std::string line;
    try {
        shell_link::AppendJsonLine(read(), line);
    } catch (const std::bad_alloc&) {
        line.clear();
        shell_link::AppendJsonLine(shell_link::UnreadableFile(path.c_str(), ENOMEM), line);
    }
    return line;
}

py::str ReadPath(const py::bytes& pathBytes, const std::string& codePageName) {
    const std::string path = pathBytes;
    if (path.find('\0') != std::string::npos) {
        throw py::value_error("a path cannot hold a NUL byte");
    }
    shell_link::CodePage& codePage = CodePageNamed(codePageName);
    std::string line;
    {
        const py::gil_scoped_release release;
        line = RecordLine(path, [&] { return shell_link::ReadLinkFile(path.c_str(), codePage); });
    }
    return py::str(line);
}

// data is a bytes object, which no thread can change while the GIL is released.
py::str ReadBytes(const py::bytes& data, const std::string& codePageName) {
    shell_link::CodePage& codePage = CodePageNamed(codePageName);
    char* bytes = nullptr;
    Py_ssize_t size = 0;
    if (PyBytes_AsStringAndSize(data.ptr(), &bytes, &size) != 0) {
        throw py::error_already_set();
    }
    std::string line;
    {
        const py::gil_scoped_release release;
        line = RecordLine("", [&] { return shell_link::ReadLink(bytes, static_cast<std::size_t>(size), codePage); });
    }
    return py::str(line);
}

py::str Unreadable(const py::bytes& pathBytes, int error) {
    const std::string path = pathBytes;
    std::string line;
    shell_link::AppendJsonLine(shell_link::UnreadableFile(path.c_str(), error), line);
    return py::str(line);
}

}  // namespace

PYBIND11_MODULE(_native, module) {
    module.doc() = "The complete reader of Windows shell links, as JSON lines (see the shortcut_reader package).";
    module.attr("__version__") = SHORTCUT_READER_VERSION;
    module.def("read_path", &ReadPath, py::arg("path"), py::arg("codepage"),
               "The JSON line of the link file at path (bytes, as os.fsencode gives it).");
    module.def("read_bytes", &ReadBytes, py::arg("data"), py::arg("codepage"),
               "The JSON line of the link held in data (bytes).");
    module.def("unreadable", &Unreadable, py::arg("path"), py::arg("error"),
               "The JSON line of a file that could not be read, for an errno value.");
    module.def("check_codepage", [](const std::string& name) { CodePageNamed(name); }, py::arg("codepage"),
               "Raises ValueError when iconv has no code page of that name.");
}
