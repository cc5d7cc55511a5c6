// Secure pages without the user interface: the password's check value and
// key material in the book's header, and the encryption of one record's text.
//
// A secure record holds its RTF only as `cipher` (AES of the text followed by
// its NUL) and `textHash` (SHA-256 of the text without the NUL); `text` is
// empty between operations. Every plaintext working buffer is wiped before it
// is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "secure/Crypto.h"
#include "store/DataFile.h"
#include "store/PageTable.h"

namespace pagecrypt {

constexpr std::size_t SALT_SIZE = 32;
constexpr std::size_t MIN_PASSWORD_BYTES = 8;   // counted in bytes: a full-width character is 2
constexpr std::size_t MAX_PASSWORD_BYTES = 32;  // what the password edits accept

// The 32 bytes page encryption derives its key from; zeroed when cleared or destroyed.
class KeyMaterial {
public:
    KeyMaterial() = default;
    ~KeyMaterial() { clear(); }
    KeyMaterial(const KeyMaterial&) = delete;
    KeyMaterial& operator=(const KeyMaterial&) = delete;

    bool isSet() const { return set_; }
    const std::uint8_t* bytes() const { return bytes_; }
    void clear();
    // SHA-256 of the password written twice in a row, followed by the salt.
    bool derive(const char* password, std::size_t length, const std::uint8_t salt[SALT_SIZE]);

private:
    std::uint8_t bytes_[crypto::KEY_MATERIAL_SIZE] = {};
    bool set_ = false;
};

// SHA-256 over the password bytes followed by the salt.
bool passwordCheckValue(const char* password, std::size_t length, const std::uint8_t salt[SALT_SIZE],
                        std::uint8_t out[crypto::DIGEST_SIZE]);

// A new registration in the header: a fresh random salt, the check value (the
// rest of the 128-byte area zero), the registered flag; `key` gets the key
// material. False (header and key unchanged) when the platform failed.
bool registerPassword(DataFileHeader& header, const char* password, std::size_t length, KeyMaterial& key);

// True when the password's check value equals the stored one; `key` then gets
// the key material. A wrong password leaves `key` unchanged.
bool checkPassword(const DataFileHeader& header, const char* password, std::size_t length, KeyMaterial& key);

// The record's plain `text` becomes `cipher` and `textHash`, and `text` is
// wiped and emptied; `isSecure` is the caller's. False (record unchanged)
// when the key is not set or the platform failed.
bool encryptPage(PageRecord& record, const KeyMaterial& key);

// `text` gets the plain RTF back when the cipher decrypts and its digest
// equals `textHash`; `cipher` is then emptied when `dropCipher` is set.
// False for another key, a damaged page or a platform failure: the record is
// left as it was, so a damaged page is never replaced by garbage.
bool decryptPage(PageRecord& record, const KeyMaterial& key, bool dropCipher);

// Wipes a string's bytes (its whole capacity) and empties it.
void wipeString(std::string& text);

}  // namespace pagecrypt
