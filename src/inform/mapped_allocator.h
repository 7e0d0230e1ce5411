#pragma once
#include <sys/mman.h>

#include <cstddef>
#include <new>

// An allocator for large, short-lived arrays (the scanner's name indexes): blocks of a
// megabyte or more are mapped directly, so that freeing one gives its pages back at once.
// From malloc's heap a freed block in the middle stays resident, and the next index would
// be counted on top of it.
template <class T> class CMappedAllocator {
public:
  using value_type = T;
  static constexpr std::size_t MAP_FROM_BYTES = std::size_t{1} << 20;

  CMappedAllocator() = default;
  template <class U> CMappedAllocator(const CMappedAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < MAP_FROM_BYTES) return static_cast<T*>(::operator new(bytes));
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < MAP_FROM_BYTES)
      ::operator delete(p);
    else
      munmap(p, bytes);
  }
  template <class U> bool operator==(const CMappedAllocator<U>&) const noexcept { return true; }
};
