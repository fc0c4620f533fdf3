#pragma once
// The two output streams of the tool behind one lock, so printers served on several
// threads never mix their lines.
#include <mutex>
#include <ostream>
#include <string_view>

namespace zorvik {

class Console {
public:
    Console(std::ostream& out, std::ostream& err, bool errIsTerminal = false)
        : out_(out), err_(err), errIsTerminal_(errIsTerminal)
    {
    }
    void Out(std::string_view text);
    void Err(std::string_view text);
    bool ErrIsTerminal() const { return errIsTerminal_; }
    // Standard output itself, for a run with one printer on this thread only.
    std::ostream& SingleThreadOut() { return out_; }

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool errIsTerminal_;
};

}  // namespace zorvik
