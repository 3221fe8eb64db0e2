// Large pixel rows that a bitmap and the recordings of it share without a copy.
//
// Programs write a bitmap's rows at any time and no call tells us, so the sharing is
// the kernel's copy-on-write: the rows live in a memory file mapped shared into the
// bitmap. The first recording of them maps the file again, read-only, and turns the
// bitmap's own view into a private view of the same file. From then on a page the
// program writes becomes the program's own copy, and the recording keeps the page as
// it was when recorded.
#pragma once
#include "platform/internal_export.h"

#include <cstddef>
#include <memory>

OSTREL_INTERNAL_EXPORT_BEGIN

// A read-only mapping of a block's rows as they were when it was taken.
class SharedRowsView {
public:
    SharedRowsView(const unsigned char* base, std::size_t size) : base_(base), size_(size) {}
    ~SharedRowsView();
    SharedRowsView(const SharedRowsView&) = delete;
    SharedRowsView& operator=(const SharedRowsView&) = delete;
    const unsigned char* data() const { return base_; }
    std::size_t size() const { return size_; }

private:
    const unsigned char* base_;
    std::size_t size_;
};

// The size from which rows are worth a memory file of their own.
inline constexpr std::size_t kSharedRowsMin = std::size_t(4) << 20;

// Rows of `size` bytes (at least kSharedRowsMin) in a memory file, or null where the
// system refuses one or too many blocks are alive; the caller then uses plain memory.
// The contents start as zero.
unsigned char* shared_rows_allocate(std::size_t size);

// Unmaps the block that starts at `rows`; views taken of it stay valid. False, and
// nothing done, when `rows` is not the start of a live block.
bool shared_rows_free(unsigned char* rows);

// The bytes [p, p + n), all inside one live block, as they are now: the view and the
// offset of p in it. Null when p is not in a block, or when the owner has written its
// rows since an earlier view was taken (the caller copies then, as for plain memory).
std::shared_ptr<const SharedRowsView> shared_rows_snapshot(const unsigned char* p, std::size_t n,
                                                           std::size_t& offset);

OSTREL_INTERNAL_EXPORT_END
