#include "arguments.h"
#include "command.h"

namespace kvl {
namespace {
int runMakeDemo(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {});
    if (!arguments.ok() || arguments.positionals().size() != 1) {
        return fail("make-demo", "usage: kvl make-demo DIR", kExitUsage);
    }
    return kExitOk;
}
Command registration("make-demo", "DIR", runMakeDemo);
}  // namespace
}  // namespace kvl
