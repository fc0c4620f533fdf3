#include "app/PresetCupsDestinations.h"

#include <cups/cups.h>

namespace zorvik {

namespace {

constexpr int kConnectTimeoutMs = 3000;
constexpr double kRequestTimeoutSeconds = 5.0;

}  // namespace

bool PresetCupsDestinations::IsLocalServer(const std::string& server)
{
    return (!server.empty() && server.front() == '/') || server == "localhost" || server == "127.0.0.1" ||
           server == "::1" || server == "[::1]";
}

std::optional<std::string> PresetCupsDestinations::DeviceUri(const std::string& queue) const
{
    // An empty name would give the default queue instead of none.
    if (queue.empty())
        return std::nullopt;
    const char* server = cupsServer();
    if (!server || !IsLocalServer(server))
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

}  // namespace zorvik
