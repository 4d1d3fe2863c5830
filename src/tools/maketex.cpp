// veltrio-maketex SOURCE OUTPUT: writes the language file OUTPUT from the
// UTF-8 language source SOURCE. Every fault of the source is printed with its
// line, and nothing is written.
#include <iostream>

#include "base/AtomicFile.h"
#include "textlib/TextLibraryWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: veltrio-maketex SOURCE OUTPUT\n";
        return 2;
    }
    std::string source;
    if (!veltrio::ReadWholeFile(argv[1], source)) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::vector<std::string> errors;
    const std::string bytes = veltrio::CompileLanguageSource(source, argv[1], errors);
    if (!errors.empty()) {
        for (const auto& e : errors) {
            std::cerr << e << '\n';
        }
        return 1;
    }
    std::string why;
    if (!veltrio::WriteFileAtomically(argv[2], bytes, &why)) {
        std::cerr << why << '\n';
        return 1;
    }
    return 0;
}
