#include "secure/SecretBuffer.h"

#include <cstring>

#include "secure/Crypto.h"

namespace pagecrypt {

namespace {

class HeapStorage : public SecretStorage {
public:
    void* take(std::size_t size) override { return new std::uint8_t[size]; }
    void give(void* bytes, std::size_t) override { delete[] static_cast<std::uint8_t*>(bytes); }
};

HeapStorage gHeap;
SecretStorage* gStorage = &gHeap;

}  // namespace

void useSecretStorage(SecretStorage* storage) { gStorage = storage ? storage : &gHeap; }

SecretBuffer::SecretBuffer(std::size_t size)
    : storage_(gStorage), bytes_(static_cast<std::uint8_t*>(gStorage->take(size ? size : 1))), size_(size) {
    std::memset(bytes_, 0, size ? size : 1);
}

SecretBuffer::~SecretBuffer() {
    crypto::wipe(bytes_, size_);
    storage_->give(bytes_, size_ ? size_ : 1);
}

}  // namespace pagecrypt
