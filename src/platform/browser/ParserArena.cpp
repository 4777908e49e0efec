#include "ParserArena.h"

#include "BrowserLimits.h"

#include <csignal>
#include <cstdlib>
#include <sanitizer/asan_interface.h>

namespace browser {

namespace {

// Before every block: its size class, 0 for a large block; padded so that
// the block keeps the alignment of malloc.
struct alignas(std::max_align_t) BlockHeader {
    size_t sizeClass;
};

BlockHeader* headerOf(void* block) {
    return static_cast<BlockHeader*>(block) - 1;
}

constexpr size_t kLargestChunk = 1024 * 1024;

} // namespace

struct ParserArena::LargeBlock {
    LargeBlock* prev;
    LargeBlock* next;
    size_t bytes;
    BlockHeader header;
};

thread_local ParserArena* ParserArena::parsing = nullptr;

ParserArena::~ParserArena() {
    for (auto [chunk, bytes] : m_chunks) {
        ASAN_UNPOISON_MEMORY_REGION(chunk, bytes);
        std::free(chunk);
    }
    while (m_large) {
        LargeBlock* next = m_large->next;
        std::free(m_large);
        m_large = next;
    }
}

const GumboOutput* ParserArena::parse(GumboOptions options, const QByteArray& utf8) {
    options.allocator = &ParserArena::allocate;
    options.deallocator = &ParserArena::release;
    options.userdata = this;
    catchParserAborts();
    if (sigsetjmp(m_escape, 1) != 0) {
        parsing = nullptr;
        return nullptr;
    }
    parsing = this;
    const GumboOutput* output =
        gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    parsing = nullptr;
    return output;
}

void* ParserArena::allocate(void* arena, size_t size) {
    auto* self = static_cast<ParserArena*>(arena);
    if (size == sizeof(GumboNode))
        ++self->m_nodes; // now and then a block of another kind: a stricter count
    if (self->m_nodes > kMaxParseNodes ||
        (self->m_cancelled && self->m_cancelled->load(std::memory_order_relaxed)))
        siglongjmp(self->m_escape, 1);
    const size_t sizeClass = (sizeof(BlockHeader) + size + kGranule - 1) / kGranule;
    return sizeClass * kGranule <= kLargestPooled ? self->pooledBlock(sizeClass)
                                                  : self->largeBlock(size);
}

void ParserArena::release(void* arena, void* pointer) {
    if (!pointer)
        return;
    auto* self = static_cast<ParserArena*>(arena);
    const size_t sizeClass = headerOf(pointer)->sizeClass;
    if (sizeClass == 0) {
        self->releaseLarge(pointer);
        return;
    }
    *static_cast<void**>(pointer) = self->m_freed[sizeClass];
    self->m_freed[sizeClass] = pointer;
    // Under the address sanitizer, a use of the freed block is reported as after free().
    ASAN_POISON_MEMORY_REGION(headerOf(pointer), sizeClass * kGranule);
}

void* ParserArena::pooledBlock(size_t sizeClass) {
    const size_t bytes = sizeClass * kGranule;
    if (void* block = m_freed[sizeClass]) {
        ASAN_UNPOISON_MEMORY_REGION(headerOf(block), bytes);
        m_freed[sizeClass] = *static_cast<void**>(block);
        return block;
    }
    if (size_t(m_end - m_next) < bytes)
        startChunk();
    auto* header = reinterpret_cast<BlockHeader*>(m_next);
    m_next += bytes;
    ASAN_UNPOISON_MEMORY_REGION(header, bytes);
    header->sizeClass = sizeClass;
    return header + 1;
}

// Out of line, so that handing out a block from the chunk stays a few instructions.
Q_NEVER_INLINE void ParserArena::startChunk() {
    m_next = static_cast<char*>(hold(m_chunkSize));
    m_end = m_next + m_chunkSize;
    m_chunks.emplace_back(m_next, m_chunkSize);
    ASAN_POISON_MEMORY_REGION(m_next, m_chunkSize); // until handed out
    m_chunkSize = std::min(m_chunkSize * 2, kLargestChunk);
}

void* ParserArena::largeBlock(size_t size) {
    const size_t bytes = sizeof(LargeBlock) + size;
    auto* block = static_cast<LargeBlock*>(hold(bytes));
    block->prev = nullptr;
    block->next = m_large;
    block->bytes = bytes;
    block->header.sizeClass = 0;
    if (m_large)
        m_large->prev = block;
    m_large = block;
    return &block->header + 1;
}

void ParserArena::releaseLarge(void* pointer) {
    auto* block = reinterpret_cast<LargeBlock*>(reinterpret_cast<char*>(headerOf(pointer)) -
                                                offsetof(LargeBlock, header));
    m_bytes -= block->bytes;
    if (block->prev)
        block->prev->next = block->next;
    else
        m_large = block->next;
    if (block->next)
        block->next->prev = block->prev;
    std::free(block);
}

void* ParserArena::hold(size_t bytes) {
    m_bytes += bytes;
    if (m_bytes > kMaxParseMemory)
        siglongjmp(m_escape, 1);
    void* memory = std::malloc(bytes);
    if (!memory)
        std::abort();
    return memory;
}

// A failed assertion in the parser aborts the process; while this thread
// parses, the abort jumps out of the parser instead.
void ParserArena::catchParserAborts() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = [](int) {
            if (parsing)
                siglongjmp(parsing->m_escape, 1);
            std::signal(SIGABRT, SIG_DFL); // any other abort ends the process
        };
        sigemptyset(&action.sa_mask);
        return sigaction(SIGABRT, &action, nullptr) == 0;
    }();
    (void)installed;
}

} // namespace browser
