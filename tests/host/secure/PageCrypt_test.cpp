#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "secure/PageCrypt.h"
#include "tests/common/CryptoKnownAnswers.h"

namespace {

using pagecrypt::KeyMaterial;

// A key registered for `password` in a header of its own.
struct Registered {
    DataFileHeader header;
    KeyMaterial key;
    explicit Registered(const char* password) {
        EXPECT_TRUE(pagecrypt::registerPassword(header, password, std::strlen(password), key));
    }
};

PageRecord pageWith(const std::string& text) {
    PageRecord record;
    record.text = text;
    return record;
}

TEST(PageCrypt, CipherLengthIsThePaddedLengthOfTextAndNul) {
    Registered r("password");
    const struct {
        std::size_t textLength;
        std::size_t cipherLength;
    } cases[] = {{0, 16}, {14, 16}, {15, 32}, {200, 208}, {207, 224}};
    for (const auto& c : cases) {
        PageRecord record = pageWith(std::string(c.textLength, 'x'));
        ASSERT_TRUE(pagecrypt::encryptPage(record, r.key));
        EXPECT_EQ(record.cipher.size(), c.cipherLength) << c.textLength;
        EXPECT_EQ(record.text, "");
    }
}

TEST(PageCrypt, DecryptGivesTheTextBackByteForByte) {
    Registered r("パスワード");
    std::string text = "{\\rtf1\\ansi ";
    for (int b = 1; b < 256; ++b) text += static_cast<char>(b);  // every byte but NUL
    PageRecord record = pageWith(text);
    ASSERT_TRUE(pagecrypt::encryptPage(record, r.key));
    const std::string cipher = record.cipher;
    ASSERT_TRUE(pagecrypt::decryptPage(record, r.key, false));
    EXPECT_EQ(record.text, text);
    EXPECT_EQ(record.cipher, cipher);  // kept unless asked to drop it
}

TEST(PageCrypt, OtherKeyOrDamagedCipherChangesNothing) {
    Registered right("password");
    Registered other("password");  // same password, another salt
    PageRecord record = pageWith("{\\rtf1 a secret of more than two blocks}");
    ASSERT_TRUE(pagecrypt::encryptPage(record, right.key));
    const PageRecord sealed = record;

    PageRecord damaged = sealed;
    damaged.cipher[damaged.cipher.size() - 20] ^= 1;  // the block before the last: the padding survives
    PageRecord shortened = sealed;
    shortened.cipher.pop_back();
    PageRecord wrongHash = sealed;
    wrongHash.textHash[31] ^= 1;
    for (PageRecord* r : {&record, &damaged, &shortened, &wrongHash}) {
        const PageRecord before = *r;
        const KeyMaterial& key = r == &record ? other.key : right.key;
        EXPECT_FALSE(pagecrypt::decryptPage(*r, key, true));
        EXPECT_EQ(r->text, "");
        EXPECT_EQ(r->cipher, before.cipher);
    }
    KeyMaterial none;
    EXPECT_FALSE(pagecrypt::decryptPage(record, none, false));
    EXPECT_FALSE(pagecrypt::encryptPage(record, none));
}

// A plaintext without a NUL: the text ends where the decrypted bytes end.
TEST(PageCrypt, PlaintextWithoutNulStopsAtTheDecryptedLength) {
    Registered r("password");
    std::string buffer(48, 'q');
    std::size_t length = 31;
    ASSERT_TRUE(crypto::encryptBuffer(r.key.bytes(), reinterpret_cast<std::uint8_t*>(&buffer[0]), length, 48));
    PageRecord record;
    record.cipher = buffer.substr(0, length);
    ASSERT_TRUE(crypto::sha256Of(std::string(31, 'q').data(), 31, record.textHash.data()));
    ASSERT_TRUE(pagecrypt::decryptPage(record, r.key, false));
    EXPECT_EQ(record.text, std::string(31, 'q'));
}

TEST(PageCrypt, RegistrationStoresCheckValueAndSaltOnly) {
    Registered a("password");
    Registered b("password");
    EXPECT_EQ(a.header.passwordRegistered, 1);
    EXPECT_NE(std::memcmp(a.header.salt, b.header.salt, 32), 0);
    EXPECT_NE(std::memcmp(a.header.checkValue, b.header.checkValue, 32), 0);
    EXPECT_NE(std::memcmp(a.key.bytes(), b.key.bytes(), 32), 0);
    std::uint8_t check[32];
    ASSERT_TRUE(pagecrypt::passwordCheckValue("password", 8, a.header.salt, check));
    EXPECT_EQ(std::memcmp(check, a.header.checkValue, 32), 0);
    for (int i = 32; i < 128; ++i) EXPECT_EQ(a.header.checkValue[i], 0) << i;

    KeyMaterial key;
    EXPECT_TRUE(pagecrypt::checkPassword(a.header, "password", 8, key));
    EXPECT_EQ(std::memcmp(key.bytes(), a.key.bytes(), 32), 0);
    key.clear();
    EXPECT_FALSE(key.isSet());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(key.bytes()), 32), std::string(32, '\0'));
}

TEST(PageCrypt, APlainTextsBufferReadsBackAsZerosAfterUse) {
    Registered r("password");
    const std::string secret = "{\\rtf1 a page nobody else may read, well past a short string}";
    const struct {
        const char* name;
        std::function<void(PageRecord&)> use;
    } uses[] = {
        {"encrypt", [&](PageRecord& page) { EXPECT_TRUE(pagecrypt::encryptPage(page, r.key)); }},
        {"wipe", [](PageRecord& page) { pagecrypt::wipeString(page.text); }},
    };
    for (const auto& u : uses) {
        PageRecord page = pageWith(secret);
        const char* buffer = page.text.data();
        const std::size_t capacity = page.text.capacity();
        u.use(page);
        EXPECT_TRUE(page.text.empty()) << u.name;
        ASSERT_EQ(page.text.data(), buffer) << u.name << ": the same buffer, so it can be read back";
        EXPECT_EQ(std::string(buffer, capacity), std::string(capacity, '\0')) << u.name;
    }
}

}  // namespace
