#include "cli/Console.h"

namespace zorvik {

void Console::Out(std::string_view text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    out_ << text;
    out_.flush();
}

void Console::Err(std::string_view text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    err_ << text;
    err_.flush();
}

}  // namespace zorvik
