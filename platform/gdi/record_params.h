// The parameters of one recorded call: a short list of 32-bit values kept inline
// (most calls have at most ten), on the heap only when longer (polylines, text).
// A page's recording is copied whenever the page is selected again, so copying a
// record must not cost an allocation.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

class RecordParams {
public:
    RecordParams() = default;
    RecordParams(std::initializer_list<std::int32_t> v) { assign(v.begin(), v.end()); }
    RecordParams(const std::vector<std::int32_t>& v) { assign(v.data(), v.data() + v.size()); }
    RecordParams(const RecordParams& o) { assign(o.begin(), o.end()); }
    RecordParams(RecordParams&& o) noexcept { take(o); }
    RecordParams& operator=(const RecordParams& o)
    {
        if (this != &o) {
            clear();
            assign(o.begin(), o.end());
        }
        return *this;
    }
    RecordParams& operator=(RecordParams&& o) noexcept
    {
        if (this != &o) {
            heap_.reset();
            take(o);
        }
        return *this;
    }
    RecordParams& operator=(std::initializer_list<std::int32_t> v)
    {
        clear();
        assign(v.begin(), v.end());
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const std::int32_t* data() const { return heap_ ? heap_.get() : inline_; }
    std::int32_t* data() { return heap_ ? heap_.get() : inline_; }
    const std::int32_t* begin() const { return data(); }
    const std::int32_t* end() const { return data() + size_; }
    std::int32_t* begin() { return data(); }
    std::int32_t* end() { return data() + size_; }
    const std::int32_t& operator[](std::size_t i) const { return data()[i]; }
    std::int32_t& operator[](std::size_t i) { return data()[i]; }

    void clear()
    {
        heap_.reset();
        size_ = 0;
        capacity_ = kInline;
    }
    void push_back(std::int32_t v)
    {
        reserve(size_ + 1);
        data()[size_++] = v;
    }
    void assign(std::size_t n, std::int32_t v)
    {
        clear();
        reserve(n);
        std::fill_n(data(), n, v);
        size_ = n;
    }

private:
    static constexpr std::size_t kInline = 10;

    void assign(const std::int32_t* first, const std::int32_t* last)
    {
        const std::size_t n = std::size_t(last - first);
        reserve(n);
        std::copy(first, last, data());
        size_ = n;
    }
    void reserve(std::size_t n)
    {
        if (n <= capacity_) return;
        const std::size_t grown = std::max(n, 2 * capacity_);
        std::unique_ptr<std::int32_t[]> more(new std::int32_t[grown]);
        std::copy(begin(), end(), more.get());
        heap_ = std::move(more);
        capacity_ = grown;
    }
    void take(RecordParams& o) noexcept
    {
        size_ = o.size_;
        capacity_ = o.capacity_;
        if (o.heap_) {
            heap_ = std::move(o.heap_);
        } else {
            std::copy(o.inline_, o.inline_ + o.size_, inline_);
        }
        o.size_ = 0;
        o.capacity_ = kInline;
    }

    std::int32_t inline_[kInline] = {};
    std::unique_ptr<std::int32_t[]> heap_;
    std::size_t size_ = 0;
    std::size_t capacity_ = kInline;
};

OSTREL_INTERNAL_EXPORT_END
