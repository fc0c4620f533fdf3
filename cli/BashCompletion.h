#pragma once
// The bash completion script of a command tree, read from the parser itself so it
// follows every subcommand and option the tool has: subcommands (those shown in the
// help), their options, and the values an option takes: the members it is checked
// against (CLI::IsMember), or the entries of the "Printer Setting" list it is named
// after (--code-page, --print-speed, ...). Other option values and positional
// arguments complete file names.
#include <string>

#include <CLI/CLI.hpp>

namespace zorvik {

class BashCompletion {
public:
    // program is the command the script completes, e.g. "zorvik-cli".
    static std::string Script(CLI::App& root, const std::string& program);
};

}  // namespace zorvik
