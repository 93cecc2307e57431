#pragma once

#include <filesystem>
#include <string>

namespace kavelune::posix {

// Where the program reads its content and where it keeps what it writes (current.txt,
// settings.ini, mail.cfg, sprite.log).
struct ProgramFolders {
    std::filesystem::path content;
    std::filesystem::path state;
};

// A folder given on purpose (`homeOption`, else $KAVELUNE_HOME) is a portable program folder
// that keeps everything. Otherwise the folder of the program file is one when it holds content
// (a build or an unpacked copy), keeping its state there when it may be written. An installed
// program (bin/ beside share/kavelune/) reads the installed content and keeps its state in the
// user's configuration folder.
ProgramFolders findProgramFolders(const std::string& homeOption);

}  // namespace kavelune::posix
