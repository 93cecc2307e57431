// kvl make-demo DIR: writes the generated demo content into a program folder.
#include <iostream>

#include "arguments.h"
#include "command.h"
#include "kit/demo/demo_folder.h"

namespace kvl {

namespace {

int runMakeDemo(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"quiet"});
    if (!arguments.ok() || arguments.positionals().size() != 1) {
        return fail("make-demo", "usage: kvl make-demo DIR [--quiet]", kExitUsage);
    }
    demo::DemoReport report;
    std::string error;
    if (!demo::writeDemoFolder(arguments.positionals()[0], report, error)) {
        return fail("make-demo", error);
    }
    if (!arguments.flag("quiet")) {
        std::cout << "demo content in " << arguments.positionals()[0] << ": " << report.characters
                  << " characters, " << report.dances << " dances, " << report.songs << " songs\n";
    }
    return kExitOk;
}

Command registration("make-demo", "DIR [--quiet]", runMakeDemo);

}  // namespace

}  // namespace kvl
