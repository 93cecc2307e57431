#pragma once

#include <filesystem>
#include <string>

namespace kavelune::posix {

// Where the program reads its content and where it keeps what it writes.
struct ProgramFolders {
    std::filesystem::path content;      // the program folder the program reads
    std::filesystem::path state;        // current.txt, settings.ini, mail.cfg
    std::filesystem::path userContent;  // where content the user adds goes
    std::filesystem::path logs;         // sprite.log
};

// A folder given on purpose (`homeOption`, else $KAVELUNE_HOME) is a portable program folder
// that keeps everything. Otherwise the folder of the program file is one when it holds content
// (a build or an unpacked copy), keeping its state there when it may be written. An installed
// program (bin/ beside share/kavelune/) reads the installed content and keeps its state in the
// user's configuration folder; content the user adds lives in the user's data folder and is
// read before the installed content (see composeContentView), logs go to the user's state folder.
ProgramFolders findProgramFolders(const std::string& homeOption);

// After the user's content changed: makes the program folder show it again. Nothing to do for a
// program folder that is the user's content folder itself.
void refreshContentView(const ProgramFolders& folders);

}  // namespace kavelune::posix
