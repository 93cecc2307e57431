// kvl emp encode|decode IN OUT: scrambles an MP3 into the .emp form the program plays, or turns
// an .emp file back into its MP3, with the same routine the music player uses.
#include <fstream>
#include <iterator>
#include <string>

#include "arguments.h"
#include "base/atomic_file.h"
#include "command.h"
#include "music/emp_scramble.h"

namespace kvl {

namespace {

int runEmp(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {});
    if (!arguments.ok()) {
        return fail("emp", arguments.error(), kExitUsage);
    }
    const auto& positionals = arguments.positionals();
    if (positionals.size() != 3 || (positionals[0] != "encode" && positionals[0] != "decode")) {
        return fail("emp", "usage: kvl emp encode|decode IN OUT", kExitUsage);
    }
    const std::string& input = positionals[1];
    const std::string& output = positionals[2];
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        return fail("emp", "cannot read " + input);
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return fail("emp", "cannot read " + input);
    }
    auto* data = reinterpret_cast<unsigned char*>(bytes.data());
    if (positionals[0] == "encode") {
        kavelune::scrambleEmp(data, bytes.size());
    } else {
        kavelune::unscrambleEmp(data, bytes.size());
    }
    if (!kavelune::writeFileAtomically(output, bytes)) {
        return fail("emp", "cannot write " + output);
    }
    return kExitOk;
}

Command registration("emp", "encode|decode IN OUT", runEmp);

}  // namespace

}  // namespace kvl
