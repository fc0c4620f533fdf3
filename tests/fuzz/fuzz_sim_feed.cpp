// The virtual printer's parser: any bytes are taken without harm, fed whole or in
// pieces they give the same replies and the same command log, and the shape faults
// change only the replies they choose, each exactly as told.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"

#include "sim/VirtualPrinter.h"

using zorvik::fuzz::Require;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Replies = std::vector<zorvik::SimReplyOut>;

Bytes Joined(const Replies& replies)
{
    Bytes all;
    for (const auto& reply : replies)
        all.insert(all.end(), reply.bytes.begin(), reply.bytes.end());
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zorvik;

    VirtualPrinter whole;
    const Replies replies = whole.FeedReplies(data, size);
    Require(whole.Received() == Bytes(data, data + size));
    for (const auto& reply : replies)
        Require(!reply.bytes.empty());

    // The same bytes in pieces of a size the input picks.
    const std::size_t piece = size > 0 ? 1 + data[size - 1] % 7 : 1;
    VirtualPrinter split;
    Replies splitReplies;
    for (std::size_t at = 0; at < size; at += piece) {
        auto part = split.FeedReplies(data + at, std::min(piece, size - at));
        splitReplies.insert(splitReplies.end(), part.begin(), part.end());
    }
    Require(Joined(splitReplies) == Joined(replies));
    Require(split.CommandNames() == whole.CommandNames());

    // Shape faults on the kinds (and switch) the input picks.
    SimFaults faults;
    faults.faultReplies = size > 0 ? data[0] & kSimReplyAll : kSimReplyAll;
    faults.faultSwitch = size > 1 ? data[1] % 13 : 0;
    faults.truncateReplyTo = 3;
    faults.replaceHead = {0xAA};
    faults.strayBeforeReply = {0xBB, 0xCC};
    VirtualPrinter shaped({}, faults);
    const Replies shapedReplies = shaped.FeedReplies(data, size);
    Require(shapedReplies.size() == replies.size());
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const SimReplyOut& plain = replies[i];
        Require(shapedReplies[i].kind == plain.kind && shapedReplies[i].switchNumber == plain.switchNumber);
        Bytes expected = plain.bytes;
        if (faults.Chooses(plain.kind, plain.switchNumber)) {
            expected.resize(std::min<std::size_t>(expected.size(), 3));
            expected[0] = 0xAA;
            expected.insert(expected.begin(), {0xBB, 0xCC});
        }
        Require(shapedReplies[i].bytes == expected);
    }
    VirtualPrinter joined({}, faults);
    Require(joined.Feed(data, size) == Joined(shapedReplies));
    return 0;
}
