#pragma once

#include <QByteArray>
#include <array>
#include <atomic>
#include <csetjmp>
#include <cstddef>
#include <gumbo.h>
#include <utility>
#include <vector>

namespace browser {

// The memory of one run of the HTML parser, which allocates a block for
// every node, attribute and string. Small blocks come from large chunks, and
// a freed one is kept for the next of its size; everything goes at once with
// the arena, so the parser's own recursive release, which overflows the
// stack on deeply nested input, never runs. The arena also holds the parser
// to the budget: past it, when cancelled, or when one of the parser's own
// checks fails on hostile input, it jumps out of the parser.
class ParserArena {
public:
    explicit ParserArena(const std::atomic<bool>* cancelled) : m_cancelled(cancelled) {}
    ParserArena(const ParserArena&) = delete;
    ParserArena& operator=(const ParserArena&) = delete;
    ~ParserArena();

    // The parser's output, valid while the arena lives; nothing when the arena stopped it.
    const GumboOutput* parse(GumboOptions options, const QByteArray& utf8);
    // About how many nodes the parser made, a few more at most.
    int nodes() const { return m_nodes; }

private:
    static constexpr size_t kGranule = alignof(std::max_align_t);
    static constexpr size_t kLargestPooled = 4096; // larger ones are allocated and freed alone
    struct LargeBlock;

    static void* allocate(void* arena, size_t size);
    static void release(void* arena, void* pointer);
    void* pooledBlock(size_t sizeClass);
    void startChunk();
    void* largeBlock(size_t size);
    void releaseLarge(void* pointer);
    void* hold(size_t bytes);
    static void catchParserAborts();

    static thread_local ParserArena* parsing;
    const std::atomic<bool>* m_cancelled;
    std::vector<std::pair<void*, size_t>> m_chunks;
    LargeBlock* m_large = nullptr;                              // those not freed yet
    std::array<void*, kLargestPooled / kGranule + 1> m_freed{}; // by size class
    char* m_next = nullptr;                                     // of the chunk being handed out
    char* m_end = nullptr;
    size_t m_chunkSize = 64 * 1024;
    size_t m_bytes = 0; // held now
    int m_nodes = 0;
    sigjmp_buf m_escape;
};

} // namespace browser
