// The presets of a POSIX system: the printer queues of the local print scheduler, read
// through libcups, and the own settings file in the system configuration folder.
#include <cups/cups.h>

#include "app/PresetSettingsFile.h"
#include "app/PresetSources.h"
#include "link/DeviceNames.h"

namespace zorvik {

namespace {

constexpr int kConnectTimeoutMs = 3000;
constexpr double kRequestTimeoutSeconds = 5.0;

// The device URI of a queue; no value when there is no such queue or it has none.
std::optional<std::string> DeviceUri(const std::string& queue)
{
    // An empty name would give the default queue instead of none.
    if (queue.empty())
        return std::nullopt;
    const char* server = cupsServer();
    if (!server || !IsLocalPrintServer(server))
        return std::nullopt;
    http_t* http = httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                kConnectTimeoutMs, nullptr);
    if (!http)
        return std::nullopt;
    // With no callback a request that times out fails instead of waiting on.
    httpSetTimeout(http, kRequestTimeoutSeconds, nullptr, nullptr);

    std::optional<std::string> uri;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    if (const cups_dest_t* dest = cupsGetDest(queue.c_str(), nullptr, count, dests)) {
        if (const char* value = cupsGetOption("device-uri", dest->num_options, dest->options);
            value && *value)
            uri = value;
    }
    cupsFreeDests(count, dests);
    httpClose(http);
    return uri;
}

class CupsQueuePresets final : public QueuePresets {
public:
    std::optional<PortSettings> ForQueue(const std::string& queue, const PortSettings& base) const override
    {
        const auto uri = DeviceUri(queue);
        if (!uri)
            return std::nullopt;
        // The map is read afresh, as the window reads it for every fill of its lists.
        return PresetFromDeviceUri(*uri, base, DeviceNames::FromEnvironment());
    }
};

}  // namespace

std::unique_ptr<QueuePresets> MakeSystemQueuePresets()
{
    return std::make_unique<CupsQueuePresets>();
}

std::unique_ptr<OwnPresetValues> MakeOwnPresetValues()
{
    return std::make_unique<PresetSettingsFile>(PresetSettingsFile::DefaultPath());
}

}  // namespace zorvik
