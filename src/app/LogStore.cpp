#include "app/LogStore.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace zor {

namespace {

// Big enough to pack well and to seal rarely, small enough to unpack in a
// blink when the view shows a line of it.
constexpr size_t kBlockBytes = 64 * 1024;

// Notes where each line of text[from..] starts.
void NoteStarts(const std::string& text, size_t from, std::vector<uint32_t>& starts)
{
    for (size_t at = from; at < text.size();) {
        starts.push_back(static_cast<uint32_t>(at));
        const size_t end = text.find('\n', at);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
}

// The line of text that starts at from, without its "\n" or "\r\n".
std::string LineFrom(const std::string& text, size_t from)
{
    size_t stop = text.find('\n', from);
    if (stop == std::string::npos)
        stop = text.size();
    if (stop > from && text[stop - 1] == '\r')
        --stop;
    return text.substr(from, stop - from);
}

} // namespace

void LogStore::Append(std::string_view text)
{
    const size_t from = open_.size();
    open_.append(text);
    NoteStarts(open_, from, openStarts_);
    size_ += text.size();
    if (open_.size() >= kBlockBytes)
        Seal();
}

void LogStore::Seal()
{
    Block b;
    b.rawSize = static_cast<uint32_t>(open_.size());
    b.firstLine = packedLines_;
    uLongf packedSize = compressBound(static_cast<uLong>(open_.size()));
    b.packed.resize(packedSize);
    if (compress2(b.packed.data(), &packedSize, reinterpret_cast<const Bytef*>(open_.data()),
            static_cast<uLong>(open_.size()), Z_BEST_SPEED)
        != Z_OK)
        throw std::runtime_error("Не удалось сжать лог обмена");
    b.packed.resize(packedSize);
    b.packed.shrink_to_fit();
    blocks_.push_back(std::move(b));
    packedLines_ += openStarts_.size();
    // A fresh string, so that the next block starts small instead of keeping
    // the grown capacity of this one twice over.
    std::string().swap(open_);
    std::vector<uint32_t>().swap(openStarts_);
}

void LogStore::Unpack(size_t block) const
{
    if (cachedBlock_ == block)
        return;
    const Block& b = blocks_[block];
    cachedBlock_ = SIZE_MAX;
    cache_.resize(b.rawSize);
    uLongf rawSize = b.rawSize;
    if (uncompress(
            reinterpret_cast<Bytef*>(cache_.data()), &rawSize, b.packed.data(), static_cast<uLong>(b.packed.size()))
            != Z_OK
        || rawSize != b.rawSize)
        throw std::runtime_error("Лог обмена повреждён в памяти");
    cacheStarts_.clear();
    NoteStarts(cache_, 0, cacheStarts_);
    cachedBlock_ = block;
}

std::string LogStore::Line(size_t i) const
{
    if (i >= LineCount())
        return {};
    if (i >= packedLines_)
        return LineFrom(open_, openStarts_[i - packedLines_]);
    // The last block whose first line is at or before i.
    const auto it = std::upper_bound(
        blocks_.begin(), blocks_.end(), i, [](size_t line, const Block& b) { return line < b.firstLine; });
    const size_t block = static_cast<size_t>(it - blocks_.begin()) - 1;
    Unpack(block);
    return LineFrom(cache_, cacheStarts_[i - blocks_[block].firstLine]);
}

void LogStore::ForEachPiece(const std::function<void(std::string_view)>& fn) const
{
    for (size_t b = 0; b < blocks_.size(); ++b) {
        Unpack(b);
        fn(cache_);
    }
    if (!open_.empty())
        fn(open_);
}

} // namespace zor
