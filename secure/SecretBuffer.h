// The working buffers that hold a password or a page's plain text for a
// moment: zero-filled when made, wiped before their storage is given back.
//
// Their storage comes from the heap. A test may supply its own, which stays
// readable after a buffer is released, to see that what held the secret
// reads back as zeros once an operation has finished.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pagecrypt {

class SecretStorage {
public:
    virtual ~SecretStorage() = default;
    virtual void* take(std::size_t size) = 0;
    // Gets back what `take` gave, already wiped.
    virtual void give(void* bytes, std::size_t size) = 0;
};

// The storage of the buffers made from now on; nullptr for the heap.
void useSecretStorage(SecretStorage* storage);

class SecretBuffer {
public:
    explicit SecretBuffer(std::size_t size);
    ~SecretBuffer();
    SecretBuffer(const SecretBuffer&) = delete;
    SecretBuffer& operator=(const SecretBuffer&) = delete;

    std::uint8_t* data() { return bytes_; }
    const std::uint8_t* data() const { return bytes_; }
    char* chars() { return reinterpret_cast<char*>(bytes_); }
    const char* chars() const { return reinterpret_cast<const char*>(bytes_); }
    std::size_t size() const { return size_; }

private:
    SecretStorage* storage_;  // the storage it came from gets it back
    std::uint8_t* bytes_;
    std::size_t size_;
};

}  // namespace pagecrypt
