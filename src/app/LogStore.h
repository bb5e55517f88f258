#pragma once
// The exchange log's text kept compact: a technician may read a detector for
// a day and more (a million lines and over), and every line must still be
// there, in order, for the view and the saved file. The text is cut into
// blocks of whole lines; every full block is deflated (the register lines
// compress about tenfold), only the newest block stays plain. A line is
// found by number through the blocks' first-line numbers, and the last block
// unpacked is kept for the next look-up, which a view scrolling through the
// lines on screen makes again and again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

class LogStore {
public:
    // Adds text made of whole lines (each ended with "\n", "\r\n" counting
    // as one end). Costs the same however many lines are stored.
    void Append(std::string_view text);

    size_t Size() const { return size_; }
    size_t LineCount() const { return packedLines_ + openStarts_.size(); }
    // Line i (0-based) without its line end.
    std::string Line(size_t i) const;
    // Hands the whole text to fn in order, in pieces of whole lines, never
    // unpacking more than one block at a time.
    void ForEachPiece(const std::function<void(std::string_view)>& fn) const;

private:
    struct Block {
        std::vector<unsigned char> packed;
        uint32_t rawSize = 0;
        size_t firstLine = 0;
    };
    void Seal();
    // The text of a packed block, unpacked into the cache.
    void Unpack(size_t block) const;

    std::vector<Block> blocks_;
    std::string open_;
    std::vector<uint32_t> openStarts_; // where each line of open_ starts
    size_t packedLines_ = 0;
    size_t size_ = 0;
    mutable size_t cachedBlock_ = SIZE_MAX;
    mutable std::string cache_;
    mutable std::vector<uint32_t> cacheStarts_;
};

} // namespace zor
