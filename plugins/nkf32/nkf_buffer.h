// A growable block of bytes that is never cleared: the converter's texts run to
// tens of megabytes, and clearing them (as std::string does on resize) only to
// overwrite them costs as much as a conversion pass. Grown with realloc, which
// moves large blocks by remapping pages rather than copying them.
#ifndef NKF32_NKF_BUFFER_H
#define NKF32_NKF_BUFFER_H

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace nkf {

class Buffer {
public:
    Buffer() = default;
    ~Buffer() { std::free(data_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t room() const { return capacity_ - size_; }
    char* end() const { return data_ + size_; }

    // Makes room for at least k more bytes, at least doubling when it grows.
    void reserve(std::size_t k)
    {
        if (room() >= k)
            return;
        std::size_t want = capacity_ + (capacity_ > k ? capacity_ : k);
        char* p = static_cast<char*>(std::realloc(data_, want));
        if (!p)
            throw std::bad_alloc();
        data_ = p;
        capacity_ = want;
    }
    void set_size(std::size_t n) { size_ = n; }
    void append(const char* p, std::size_t k)
    {
        reserve(k);
        std::memcpy(data_ + size_, p, k);
        size_ += k;
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace nkf

#endif
