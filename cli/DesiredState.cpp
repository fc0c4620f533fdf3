#include "cli/DesiredState.h"

#include <nlohmann/json.hpp>

#include "cli/StatusReport.h"
#include "resources/CliTexts.h"
#include "resources/SettingsTexts.h"
#include "settings/ReplyReader.h"

namespace zorvik {

namespace {

using nlohmann::json;

struct NamedSetting {
    const char* key;
    const char* list;
    std::optional<int> SettingEdits::*field;
};

constexpr NamedSetting kNamedSettings[] = {
    {"codePage", "code-page", &SettingEdits::codePage},
    {"printSpeed", "print-speed", &SettingEdits::printSpeed},
    {"emulation", "emulation", &SettingEdits::emulation},
    {"singleFont", "single-font", &SettingEdits::singleFont},
    {"doubleFont", "double-font", &SettingEdits::doubleFont},
};

// The texts "get" prints for a value that no list entry names.
bool DescribesNoEntry(const std::string& text)
{
    const std::string notInList = kNotInList;
    return text == kUnknownValue || text == kGb2312OrBig5 ||
           (text.size() >= notInList.size() &&
            text.compare(text.size() - notInList.size(), notInList.size(), notInList) == 0);
}

std::string ReadSettings(const json& settings, SettingEdits& edits)
{
    if (!settings.is_object())
        return "\"settings\" must be an object";
    for (const auto& [key, value] : settings.items()) {
        if (key == "destination")
            continue;  // follows from the double-byte font; written through its pin
        const NamedSetting* named = nullptr;
        for (const auto& n : kNamedSettings)
            if (key == n.key)
                named = &n;
        if (!named)
            return "\"settings\" has no setting \"" + key + "\"";
        if (value.is_null() || (value.is_string() && DescribesNoEntry(value.get<std::string>())))
            continue;
        std::optional<int> index;
        if (value.is_number_integer())
            index = ParseListChoice(std::to_string(value.get<long long>()), ListItems(named->list));
        else if (value.is_string())
            index = ParseListChoice(value.get<std::string>(), ListItems(named->list));
        if (!index)
            return "\"settings\": " + key + " " + value.dump() + ": no such entry (see set --list)";
        edits.*(named->field) = index;
    }
    return {};
}

std::string ReadPowerSave(const json& powerSave, SettingEdits& edits)
{
    if (powerSave.is_null())
        return {};
    if (!powerSave.is_object())
        return "\"powerSave\" must be an object or null";
    if (const auto enabled = powerSave.find("enabled"); enabled != powerSave.end() && !enabled->is_null()) {
        if (!enabled->is_boolean())
            return "\"powerSave\": enabled must be true or false";
        edits.powerSave = enabled->get<bool>() ? 1 : 0;
    }
    if (const auto time = powerSave.find("entranceTime"); time != powerSave.end() && !time->is_null()) {
        if (!time->is_number_integer() || time->get<long long>() < kEntranceTimeMin ||
            time->get<long long>() > kEntranceTimeMax)
            return "\"powerSave\": entranceTime must be a whole number of seconds, 6 to 255";
        edits.entranceTime = static_cast<int>(time->get<long long>());
    }
    return {};
}

std::string ReadSwitches(const json& switches, SettingEdits& edits)
{
    if (!switches.is_array())
        return "\"switches\" must be an array";
    for (const auto& sw : switches) {
        const auto number = sw.is_object() ? sw.find("switch") : sw.end();
        if (number == sw.end() || !number->is_number_integer())
            return "every entry of \"switches\" needs \"switch\": its number";
        const std::string mswText = std::to_string(number->get<long long>());
        const auto pins = sw.find("pins");
        if (pins == sw.end())
            continue;
        if (!pins->is_array())
            return "switch " + mswText + ": \"pins\" must be an array";
        for (const auto& pin : *pins) {
            const auto n = pin.is_object() ? pin.find("pin") : pin.end();
            const auto state = pin.is_object() ? pin.find("state") : pin.end();
            if (n == pin.end() || !n->is_number_integer() || state == pin.end() || !state->is_string())
                return "switch " + mswText + ": every pin needs \"pin\" and \"state\"";
            std::string error;
            const auto edit = ParsePinEdit(mswText + "." + std::to_string(n->get<long long>()) + "=" +
                                               state->get<std::string>(),
                                           &error);
            if (!edit)
                return error;
            if (edit->state != PinState::NoChange)
                edits.pins.push_back(*edit);
        }
    }
    return {};
}

}  // namespace

std::string ParseDesiredState(const std::string& text, SettingEdits& edits)
{
    const json state = json::parse(text, nullptr, false);
    if (state.is_discarded() || !state.is_object())
        return "not a JSON object";
    std::string error;
    if (const auto it = state.find("settings"); it != state.end() && !it->is_null())
        error = ReadSettings(*it, edits);
    if (const auto it = state.find("powerSave"); error.empty() && it != state.end())
        error = ReadPowerSave(*it, edits);
    if (const auto it = state.find("switches"); error.empty() && it != state.end() && !it->is_null())
        error = ReadSwitches(*it, edits);
    if (error.empty())
        error = edits.PinConflict();
    if (error.empty())
        error = edits.FoldPinsIntoSettings();
    return error;
}

}  // namespace zorvik
