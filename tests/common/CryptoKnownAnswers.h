// Known answers of the secure-page cryptography, run by the host tests (OpenSSL)
// and by the in-process Windows tests (CryptoAPI): both must give these bytes.
// Include it in exactly one test file of each test program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <string>

#include "secure/Crypto.h"
#include "secure/PageCrypt.h"

namespace cryptokat {

inline std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

inline std::string toHex(const void* bytes, std::size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < length; ++i) {
        const auto b = static_cast<const std::uint8_t*>(bytes)[i];
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

// A secure page made by hand from the formulas: password "quiltpad", salt a0 .. bf.
const char PAGE_PASSWORD[] = "quiltpad";
const char PAGE_SALT[] = "a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf";
const char PAGE_CHECK_VALUE[] = "d733c009f3ef45e1d9c0d010ff10dfd86cce73e3dad20ef6432f8125b9ec6fab";
const char PAGE_KEY_MATERIAL[] = "c36f4d30175202219cd3957a6714b66ca560ec8bb09bd7516d50fad1c9496a88";
const char PAGE_TEXT[] = "{\\rtf1\\ansi\\ansicpg932 \\'83\\'5a secret}";  // "セ secret"
const char PAGE_TEXT_HASH[] = "5fcbef96fcb2c8d190148603254a982504fa869c1aa19afa03fdccf269aaaf76";
const char PAGE_CIPHER[] =
    "5aaa2e326a66fa625ef254d612779ae44757425101c6c0a887573b90aea3ce04f6c4e2f8871572de04e8eae1d8e19336";

// The header of a book registered with PAGE_PASSWORD.
inline DataFileHeader pageHeader() {
    DataFileHeader header = newFileHeader();
    header.passwordRegistered = 1;
    const std::string salt = fromHex(PAGE_SALT);
    std::copy(salt.begin(), salt.end(), header.salt);
    const std::string check = fromHex(PAGE_CHECK_VALUE);
    std::copy(check.begin(), check.end(), header.checkValue);
    return header;
}

// FIPS 180-2 examples.
struct ShaCase {
    std::string message;
    const char* digest;
};

// AES-256-CBC, zero IV, PKCS#7, key = SHA-256 of the key material 00 01 .. 1f.
struct AesCase {
    const char* plain;
    const char* cipher;
};

TEST(CryptoKnownAnswers, Sha256) {
    const ShaCase cases[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const ShaCase& c : cases) {
        std::uint8_t digest[crypto::DIGEST_SIZE] = {};
        ASSERT_TRUE(crypto::sha256Of(c.message.data(), c.message.size(), digest));
        EXPECT_EQ(toHex(digest, sizeof digest), c.digest) << c.message.substr(0, 20);
    }
}

TEST(CryptoKnownAnswers, Aes256CbcBothWays) {
    const AesCase cases[] = {
        {"", "48557f838760412b1c15ea6d1d9294b8"},
        {"5175696c74706164", "0d280fb20504baf957e1f9cfe0623e79"},
        {"000102030405060708090a0b0c0d0e0f", "5b1b8c62089fae8afdcde68081977f1979a7fae65003aba2e115e9bf27d93d44"},
        {"7b5c727466312073656372657420706167657d0d0a00835a834c",
         "e61a13ab387c4d8c099c415d9501cf7b39ef152fb2ed9ff77c6cc9501d496049"},
    };
    std::uint8_t material[crypto::KEY_MATERIAL_SIZE];
    for (int i = 0; i < 32; ++i) material[i] = static_cast<std::uint8_t>(i);
    for (const AesCase& c : cases) {
        const std::string plain = fromHex(c.plain);
        std::string buffer = plain + std::string(crypto::BLOCK_SIZE, '\0');
        std::size_t length = plain.size();
        ASSERT_TRUE(
            crypto::encryptBuffer(material, reinterpret_cast<std::uint8_t*>(&buffer[0]), length, buffer.size()));
        EXPECT_EQ(toHex(buffer.data(), length), c.cipher);
        ASSERT_TRUE(crypto::decryptBuffer(material, reinterpret_cast<std::uint8_t*>(&buffer[0]), length));
        EXPECT_EQ(buffer.substr(0, length), plain);
    }
}

TEST(CryptoKnownAnswers, PageFromItsFormulas) {
    const DataFileHeader header = pageHeader();
    pagecrypt::KeyMaterial key;
    ASSERT_FALSE(pagecrypt::checkPassword(header, "quiltpaD", 8, key));
    EXPECT_FALSE(key.isSet());
    ASSERT_TRUE(pagecrypt::checkPassword(header, PAGE_PASSWORD, 8, key));
    EXPECT_EQ(toHex(key.bytes(), 32), PAGE_KEY_MATERIAL);

    PageRecord record;
    record.text = PAGE_TEXT;
    ASSERT_TRUE(pagecrypt::encryptPage(record, key));
    EXPECT_EQ(record.text, "");
    EXPECT_EQ(toHex(record.textHash.data(), 32), PAGE_TEXT_HASH);
    EXPECT_EQ(toHex(record.cipher.data(), record.cipher.size()), PAGE_CIPHER);
    ASSERT_TRUE(pagecrypt::decryptPage(record, key, true));
    EXPECT_EQ(record.text, PAGE_TEXT);
    EXPECT_EQ(record.cipher, "");
}

}  // namespace cryptokat
