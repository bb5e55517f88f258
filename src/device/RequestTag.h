#pragma once
// The request tag: the link keeps the first register of the last request
// issued (an input register as InRegBase + offset, its address on the wire),
// and the reply dispatch tells by it what a read answers.

#include "device/Registers.h"

#include <cstdint>

namespace zor {

enum class TagKind {
    Input, // the input block: the gas, the first read of a cycle
    Panel, // holding registers the panel shows (the panel block, the probe)
    Lora, // the LoRa block or a part of it
    Other, // a holding block past the panel's that starts below the LoRa block
};

// The bus overview's requests carry their first register above this mark,
// so that their answers never reach the panel, the search or the commands.
// The log takes the register from the low 16 bits as for any request.
constexpr int32_t OverviewTag = 0x10000;

constexpr bool IsOverviewTag(int32_t tag)
{
    return tag >= OverviewTag;
}

constexpr bool IsInputTag(int32_t tag)
{
    return tag >= InRegBase && !IsOverviewTag(tag);
}

// What a read answer of count registers under tag is: a holding block is the
// panel's only while it ends before the last cached register.
constexpr TagKind ClassifyRead(int32_t tag, int count)
{
    if (IsInputTag(tag))
        return TagKind::Input;
    if (tag + count < RegCacheSize)
        return TagKind::Panel;
    if (tag >= LoraBlock.first)
        return TagKind::Lora;
    return TagKind::Other;
}

} // namespace zor
