#include <unistd.h>

#include <iostream>

#include "cli/CliApp.h"

int main(int argc, char** argv)
{
    zorvik::CliEnv env;
    env.usb.printerIds = zorvik::PrinterUsbIdsFromEnvironment();
    env.errIsTerminal = isatty(STDERR_FILENO) != 0;
    return zorvik::RunCli(std::vector<std::string>(argv + 1, argv + argc), env, std::cout, std::cerr);
}
