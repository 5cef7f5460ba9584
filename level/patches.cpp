#include "patches.h"

#include <algorithm>

#include "bps.h"
#include "checksums.h"
#include "errors.h"
#include "ips.h"

namespace wmb {

PatchFormat patchFormatOf(std::string_view patch)
{
    if (patch.starts_with("BPS1"))
        return PatchFormat::Bps;
    if (patch.starts_with("PATCH"))
        return PatchFormat::Ips;
    return PatchFormat::None;
}

PatchFormat patchFormatOfName(std::string_view fileName)
{
    if (fileName.size() < 4)
        return PatchFormat::None;
    std::string ext(fileName.substr(fileName.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return ext == ".bps" ? PatchFormat::Bps : ext == ".ips" ? PatchFormat::Ips : PatchFormat::None;
}

std::string applyPatch(std::string_view image, std::string_view patch, const std::string &imageName)
{
    switch (patchFormatOf(patch)) {
    case PatchFormat::Bps:
        return applyBps(image, patch, imageName);
    case PatchFormat::Ips:
        return applyIps(image, patch);
    case PatchFormat::None:
        break;
    }
    throw RuntimeError("This file is not an IPS or BPS patch (it begins neither with \"PATCH\" nor with \"BPS1\").");
}

std::string makePatch(PatchFormat format, std::string_view original, std::string_view modified)
{
    return format == PatchFormat::Ips ? makeIps(original, modified) : makeBps(original, modified);
}

ImageChange imageChange(std::string_view before, std::string_view after)
{
    ImageChange change;
    change.sizeBefore = before.size();
    change.sizeAfter = after.size();
    const std::size_t common = std::min(before.size(), after.size());
    std::uint64_t differing = 0;
    for (std::size_t i = 0; i < common; ++i)
        differing += before[i] != after[i];
    differing += std::max(before.size(), after.size()) - common;
    std::uint64_t inRecords = 0;
    for (int n = 1; n <= LevelCount; ++n) {
        const auto first = static_cast<std::size_t>(LevelBaseOf(n) + RecordFirstOffset);
        const auto end = static_cast<std::size_t>(LevelBaseOf(n) + RecordEndOffset);
        std::uint64_t bytes = 0;
        for (std::size_t i = first; i < end; ++i) {
            const bool inBefore = i < before.size(), inAfter = i < after.size();
            bytes += inBefore != inAfter || (inBefore && before[i] != after[i]);
        }
        if (bytes != 0)
            change.levels.push_back(n);
        inRecords += bytes;
    }
    change.otherBytes = differing - inRecords;
    return change;
}

std::string levelList(const std::vector<int> &levels)
{
    if (levels.empty())
        return {};
    std::string text = levels.size() == 1 ? "level " : "levels ";
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (i > 0)
            text += i + 1 == levels.size() ? " and " : ", ";
        text += std::to_string(levels[i]);
    }
    return text;
}

namespace {

std::string counted(std::uint64_t n, const char *one, const char *many)
{
    return groupedNumber(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string changeSummary(const ImageChange &change)
{
    return counted(change.levels.size(), "level", "levels") + " and " +
           counted(change.otherBytes, "other byte", "other bytes") + " changed";
}

std::string patchChangeText(const ImageChange &change)
{
    std::string text;
    const std::string outside = counted(change.otherBytes, "byte", "bytes") + " outside the level records";
    if (change.levels.empty() && change.otherBytes == 0)
        text = "The patch changes nothing.";
    else if (change.levels.empty())
        text = "The patch changes " + outside + ".";
    else if (change.otherBytes == 0)
        text = "The patch changes " + levelList(change.levels) + ".";
    else
        text = "The patch changes " + levelList(change.levels) + ", and " + outside + ".";
    if (change.sizeBefore != change.sizeAfter)
        text += " The image's size goes from " + groupedNumber(change.sizeBefore) + " to " +
                counted(change.sizeAfter, "byte", "bytes") + ".";
    return text;
}

ImageWrite writeOfImage(std::string_view before, std::string_view after)
{
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t first = 0;
    while (first < common && before[first] == after[first])
        ++first;
    if (before.size() != after.size())
        return {static_cast<std::int64_t>(first), std::string(after.substr(first)), std::string(before.substr(first))};
    if (first == common)
        return {};
    std::size_t end = common;
    while (end > first && before[end - 1] == after[end - 1])
        --end;
    return {static_cast<std::int64_t>(first), std::string(after.substr(first, end - first)),
            std::string(before.substr(first, end - first))};
}

} // namespace wmb
