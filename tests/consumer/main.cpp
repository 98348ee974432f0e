// Prints the target path and the description of each link named on the command line.
#include <shortcut_reader/shortcut_file.h>

#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    std::vector<char> text(ShortcutFile::kLongestTextBytes);  // holds any field whole
    for (int i = 1; i < argc; ++i) {
        const ShortcutFile link(argv[i]);  // ends the process on a file that is not a link
        link.GetPath(text.data());
        std::cout << argv[i] << " -> " << text.data();
        link.GetDesc(text.data());
        std::cout << " (" << text.data() << ")\n";
    }
    return 0;
}
