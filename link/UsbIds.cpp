#include "link/UsbIds.h"

#include <algorithm>

#include "base/BoundedFile.h"
#include "link/UsbDevicePath.h"
#include "link/UserConfigPath.h"
#include "resources/UsbTexts.h"

namespace zorvik {
namespace {

constexpr char kIdsFileName[] = "usb-ids.conf";
constexpr char kIdsVariable[] = "ZORVIK_USB_IDS";

void AddNew(std::vector<UsbId>& ids, const std::vector<UsbId>& more)
{
    for (const UsbId& id : more) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
}

}  // namespace

UsbId BuiltInPrinterUsbId()
{
    return {kPrinterUsbVendorId, kPrinterUsbProductId};
}

std::optional<UsbId> ParseUsbIdPair(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon != 4 || text.size() != 9)
        return std::nullopt;
    const auto vendor = ParseUsbId(text.substr(0, colon), true);
    const auto product = ParseUsbId(text.substr(colon + 1), true);
    if (!vendor || !product)
        return std::nullopt;
    return UsbId{*vendor, *product};
}

std::vector<UsbId> ParseUsbIdList(std::string_view text, std::size_t* skipped)
{
    std::vector<UsbId> ids;
    std::size_t bad = 0;
    bool comment = false;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '\n') {
            comment = false;
            ++at;
            continue;
        }
        if (comment || c == ' ' || c == '\t' || c == '\r' || c == ',') {
            ++at;
            continue;
        }
        if (c == '#') {
            comment = true;
            continue;
        }
        const std::size_t end = std::min(text.find_first_of(" \t\r\n,#", at), text.size());
        if (const auto id = ParseUsbIdPair(text.substr(at, end - at)))
            AddNew(ids, {*id});
        else
            ++bad;
        at = end;
    }
    if (skipped)
        *skipped = bad;
    return ids;
}

std::vector<UsbId> PrinterUsbIds(const std::optional<std::string>& idsVariable,
                                 const std::optional<std::string>& xdgConfigHome,
                                 const std::optional<std::string>& home)
{
    std::vector<UsbId> ids{BuiltInPrinterUsbId()};
    if (const auto file = UserConfigPath(kIdsFileName, xdgConfigHome, home); !file.empty()) {
        const FileRead read = ReadBoundedFile(file.string(), kMaxUsbIdFileBytes);
        if (read.Ok())
            AddNew(ids, ParseUsbIdList(std::string_view(reinterpret_cast<const char*>(read.bytes.data()),
                                                        read.bytes.size())));
    }
    if (idsVariable)
        AddNew(ids, ParseUsbIdList(*idsVariable));
    return ids;
}

std::vector<UsbId> PrinterUsbIdsFromEnvironment()
{
    return PrinterUsbIds(EnvironmentValue(kIdsVariable), EnvironmentValue("XDG_CONFIG_HOME"),
                         EnvironmentValue("HOME"));
}

}  // namespace zorvik
