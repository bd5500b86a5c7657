// Owners of the Windows resources the platform takes: kernel handles, find
// handles and VirtualAlloc'd pages, each given back when its owner goes away.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/win32/Win32Api.h"

namespace tv {

template <BOOL(WINAPI* Close)(HANDLE)>
class BasicHandle {
public:
    BasicHandle() = default;
    explicit BasicHandle(HANDLE h) : h_(h) {}
    ~BasicHandle() { reset(); }
    BasicHandle(const BasicHandle&) = delete;
    BasicHandle& operator=(const BasicHandle&) = delete;
    BasicHandle(BasicHandle&& o) noexcept : h_(o.release()) {}
    BasicHandle& operator=(BasicHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = o.release();
        }
        return *this;
    }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    void reset() {
        if (valid()) Close(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

using UniqueHandle = BasicHandle<CloseHandle>;  // CreateFile and the like
using FindHandle = BasicHandle<FindClose>;      // FindFirstFile

// Pages from VirtualAlloc: aligned to the page size, and so to every sector size.
class PageBuffer {
public:
    PageBuffer() = default;
    ~PageBuffer() { reset(); }
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;
    PageBuffer(PageBuffer&& o) noexcept : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, 0)) {}
    PageBuffer& operator=(PageBuffer&& o) noexcept {
        if (this != &o) {
            reset();
            data_ = std::exchange(o.data_, nullptr);
            size_ = std::exchange(o.size_, 0);
        }
        return *this;
    }
    // At least size bytes, the old content gone; false when the system has no memory for it.
    bool Reserve(size_t size) {
        if (size <= size_) return true;
        reset();
        data_ = static_cast<unsigned char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (data_ == nullptr) return false;
        size_ = size;
        return true;
    }
    unsigned char* data() const { return data_; }
    size_t size() const { return size_; }
    void reset() {
        if (data_ != nullptr) ::VirtualFree(data_, 0, MEM_RELEASE);
        data_ = nullptr;
        size_ = 0;
    }

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace tv
