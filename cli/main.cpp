// zorvik-cli: the printer's configuration from the command line.
#include <iostream>

#include "cli/CliApp.h"

int main(int argc, char** argv)
{
    zorvik::SystemPacer pacer;
    zorvik::CliEnvironment env{std::cout, std::cerr, pacer};
    return zorvik::RunCli(std::vector<std::string>(argv, argv + argc), env);
}
