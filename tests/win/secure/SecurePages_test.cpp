#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "app/BookLoad.h"
#include "app/Lifecycle.h"
#include "app/PageDisplay.h"
#include "app/SettingsIo.h"
#include "io/IoMessages.h"
#include "res/resource.h"
#include "secure/SecretBuffer.h"
#include "secure/SecurePages.h"
#include "support/DialogAnswerer.h"
#include "tests/common/CryptoKnownAnswers.h"  // the known answers run here against CryptoAPI
#include "tests/common/FileBytes.h"

namespace {

using namespace apptest;
using testsupport::DialogAnswerer;

const char REGISTER[] = "パスワード登録";
const char CHECK[] = "認証";
const char PASSWORD[] = "pass-word";
const char SECRET[] = "the combination is 4-8-15-16";

bool isReadOnly() { return (GetWindowLongA(editor(), GWL_STYLE) & ES_READONLY) != 0; }

// Answers the next password dialog: types `password` (into both edits of the
// registration) and presses `button`. `tries` are typed and confirmed first;
// the message line after each is kept in `messages`.
class PasswordAnswer {
public:
    PasswordAnswer(const char* caption, std::string password, int button = IDC_PASSWORD_OK,
                   std::vector<std::pair<std::string, std::string>> tries = {})
        : answerer_(button, caption) {
        answerer_.setInspector([this, password, tries](HWND dialog) {
            limit = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PASSWORD, EM_GETLIMITTEXT, 0, 0));
            for (const auto& t : tries) {
                type(dialog, t.first, t.second);
                testsupport::clickControl(dialog, IDC_PASSWORD_OK);
                messages.push_back(testsupport::controlText(dialog, IDC_PASSWORD_MESSAGE));
            }
            type(dialog, password, password);
        });
    }
    int answered() const { return answerer_.answered(); }

    int limit = 0;
    std::vector<std::string> messages;

private:
    static void type(HWND dialog, const std::string& first, const std::string& second) {
        testsupport::setControlText(dialog, IDC_PASSWORD, first);
        if (GetDlgItem(dialog, IDC_PASSWORD_AGAIN)) testsupport::setControlText(dialog, IDC_PASSWORD_AGAIN, second);
    }
    DialogAnswerer answerer_;
};

using Tries = std::vector<std::pair<std::string, std::string>>;

// While it lives, the buffers that hold a password or plain text take their
// bytes from here, and the bytes stay readable after the buffers are gone.
class KeptStorage : public pagecrypt::SecretStorage {
public:
    KeptStorage() { pagecrypt::useSecretStorage(this); }
    ~KeptStorage() override { pagecrypt::useSecretStorage(nullptr); }
    void* take(std::size_t size) override {
        blocks.emplace_back(size, '\xA5');
        return &blocks.back()[0];
    }
    void give(void*, std::size_t) override { ++givenBack; }

    std::deque<std::string> blocks;
    std::size_t givenBack = 0;
};

// Every file below a folder.
void collectFiles(const std::string& folder, std::vector<std::string>& files) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            collectFiles(folder + "\\" + name, files);
        else
            files.push_back(folder + "\\" + name);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

class SecurePagesTest : public MainWindowTest {
protected:
    // The selected page gets `text`, then becomes secure under PASSWORD (registered now).
    // (The first page is shown at every load: tests that reload use another.)
    ItemHandle makeSecretPage(const char* text = SECRET) {
        const ItemHandle item = list().GetSelection();
        typeText(text);
        PasswordAnswer answer(REGISTER, PASSWORD);
        command(IDM_MAKE_SECURE);
        EXPECT_EQ(answer.answered(), 1);
        return item;
    }
    // Saves the book and loads it again: the authentication of the run ends.
    void reload() {
        const std::string path = gApp.paths.dataFilePath;
        ASSERT_TRUE(bookload::saveFromUi(path, SaveKind::ExitData));
        ASSERT_TRUE(bookload::loadIntoUi(window, path));
        testapp::pumpMessages();
    }
};

TEST_F(SecurePagesTest, RegistrationRefusesShortAndDifferingPasswordsAndTakesEightBytes) {
    const char* accepted[] = {"12345678", "あいうえ"};  // four full-width characters are 8 bytes
    for (const char* password : accepted) {
        {
            DialogAnswerer declineShortcut(IDCANCEL, iomessages::SHORTCUT_CAPTION);
            ASSERT_TRUE(bookload::loadIntoUi(window, gApp.paths.dataFilePath));  // a new book
        }
        const ItemHandle item = list().GetSelection();
        const int image = imageOf(item);  // the first page carries the bookmark
        PasswordAnswer answer(REGISTER, password, IDC_PASSWORD_OK,
                              {{"1234567", "1234567"}, {"あいう", "あいう"}, {password, "12345679"}});
        command(IDM_MAKE_SECURE);
        ASSERT_EQ(answer.answered(), 1);
        EXPECT_EQ(answer.limit, 32);
        EXPECT_EQ(answer.messages,
                  (std::vector<std::string>{"パスワードは8文字以上 入力してください。",
                                            "パスワードは8文字以上 入力してください。",
                                            "入力した２つのパスワードが異なっています。再入力してください。"}));
        EXPECT_TRUE(secure::isAuthenticated());
        EXPECT_FALSE(secure::wasCancelled());
        EXPECT_EQ(gBook.header.passwordRegistered, 1);
        const PageRecord& record = recordOf(item);
        EXPECT_EQ(record.isSecure, 1);
        EXPECT_EQ(record.text, "");
        EXPECT_FALSE(record.cipher.empty());
        EXPECT_EQ(imageOf(item), image + 8);
        EXPECT_EQ(selectedImageOf(item), image + 9);
    }
}

TEST_F(SecurePagesTest, CancelledRegistrationLeavesThePagePlain) {
    for (int button : {IDC_PASSWORD_CANCEL, IDCANCEL}) {
        const ItemHandle item = list().GetSelection();
        const int image = imageOf(item);
        PasswordAnswer answer(REGISTER, PASSWORD, button);
        command(IDM_MAKE_SECURE);
        ASSERT_EQ(answer.answered(), 1);
        EXPECT_TRUE(secure::wasCancelled());
        EXPECT_FALSE(secure::isAuthenticated());
        EXPECT_EQ(gBook.header.passwordRegistered, 0);
        EXPECT_EQ(recordOf(item).isSecure, 0);
        EXPECT_EQ(imageOf(item), image);
    }
}

TEST_F(SecurePagesTest, AfterALoadThePageAsksForThePasswordAndStaysLockedOnCancel) {
    select(itemAt(2));
    const int index = gBook.pages.indexOfItem(makeSecretPage());
    const PageRecord sealed = gBook.pages.recordAt(index);
    reload();
    select(itemAt(1));
    {
        PasswordAnswer answer(CHECK, PASSWORD, IDC_PASSWORD_CANCEL, {{"wrong-password", ""}});
        select(itemAt(index));
        ASSERT_EQ(answer.answered(), 1);
        EXPECT_EQ(answer.messages, std::vector<std::string>{"パスワードが違います。"});
    }
    EXPECT_EQ(editorText(), "未認証のため表示できません。");
    EXPECT_TRUE(isReadOnly());
    select(itemAt(1));
    EXPECT_FALSE(isReadOnly());
    const PageRecord& after = gBook.pages.recordAt(index);
    EXPECT_EQ(after.text, "");
    std::string cipher;  // held, or at its place in the data file
    EXPECT_TRUE(loadCipher(after, cipher));
    EXPECT_EQ(cipher, sealed.cipher);
    EXPECT_EQ(after.textHash, sealed.textHash);

    PasswordAnswer answer(CHECK, PASSWORD);
    select(itemAt(index));
    EXPECT_EQ(answer.answered(), 1);
    EXPECT_NE(editorText().find(SECRET), std::string::npos);
    EXPECT_FALSE(isReadOnly());
    EXPECT_EQ(gBook.pages.recordAt(index).text, "");  // only the cipher stays in the table
    select(itemAt(1));
    select(itemAt(index));
    EXPECT_EQ(answer.answered(), 1);  // asked once per run
}

TEST_F(SecurePagesTest, ABookMadeFromTheFormulasOpensWithItsPassword) {
    PageTable table;
    for (int i = 0; i < 2; ++i) {
        PageRecord r;
        r.title = i ? "secret" : "plain";
        r.text = i ? "" : std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH);
        r.order = i;
        r.parentOrder = -1;
        r.isSecure = i;
        table.appendRecord(std::move(r));
    }
    PageRecord& secret = table.recordAt(1);
    secret.cipher = cryptokat::fromHex(cryptokat::PAGE_CIPHER);
    const std::string hash = cryptokat::fromHex(cryptokat::PAGE_TEXT_HASH);
    std::copy(hash.begin(), hash.end(), secret.textHash.begin());
    const std::string path = folder.file("hand.qpd");
    ASSERT_TRUE(writeDataFile(path, makeVersionBlock(SaveKind::ExitData, 1), false, table, cryptokat::pageHeader()));
    ASSERT_TRUE(bookload::loadIntoUi(window, path));

    PasswordAnswer answer(CHECK, cryptokat::PAGE_PASSWORD, IDC_PASSWORD_OK, {{"quiltpaD", ""}});
    select(itemAt(1));
    EXPECT_EQ(answer.messages, std::vector<std::string>{"パスワードが違います。"});
    EXPECT_EQ(editorText(), "セ secret");
    EXPECT_EQ(recordOf(itemAt(1)).cipher, cryptokat::fromHex(cryptokat::PAGE_CIPHER));
}

TEST_F(SecurePagesTest, MakeOrdinaryAuthenticatesShowsAndDecryptsForGood) {
    select(itemAt(2));
    const int index = gBook.pages.indexOfItem(makeSecretPage());
    reload();
    const ItemHandle item = itemAt(index);
    {
        PasswordAnswer refuse(CHECK, PASSWORD, IDC_PASSWORD_CANCEL);
        select(item);
        command(IDM_MAKE_ORDINARY);  // cancelled: nothing changes
        EXPECT_EQ(refuse.answered(), 2);
        EXPECT_EQ(recordOf(item).isSecure, 1);
    }
    PasswordAnswer answer(CHECK, PASSWORD);
    command(IDM_MAKE_ORDINARY);
    EXPECT_EQ(answer.answered(), 1);
    const PageRecord& record = recordOf(item);
    EXPECT_EQ(record.isSecure, 0);
    EXPECT_EQ(record.cipher, "");
    EXPECT_NE(record.text.find(SECRET), std::string::npos);
    EXPECT_FALSE(isReadOnly());
    EXPECT_EQ(imageOf(item), 0);
    EXPECT_EQ(selectedImageOf(item), 1);
    EXPECT_EQ(gBook.header.passwordRegistered, 1);  // kept until the next load
    reload();
    EXPECT_EQ(gBook.header.passwordRegistered, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(gBook.header.checkValue), 128), std::string(128, '\0'));
}

TEST_F(SecurePagesTest, NewPageInASecureFolderIsSecureWithParentSec) {
    gApp.ini.window.ParentSec = 1;
    command(IDM_ADD_FOLDER);
    const ItemHandle page = list().GetSelection();
    const ItemHandle folder = list().Parent(page);
    select(folder);
    makeSecretPage("folder text");
    select(page);
    secure::clearAuthentication();
    {
        PasswordAnswer refuse(CHECK, PASSWORD, IDC_PASSWORD_CANCEL);
        command(IDM_ADD_PAGE);
        EXPECT_EQ(refuse.answered(), 1);
        EXPECT_EQ(childrenOf(folder).size(), 1u);
    }
    PasswordAnswer answer(CHECK, PASSWORD);
    command(IDM_ADD_PAGE);
    const ItemHandle added = list().GetSelection();
    ASSERT_EQ(childrenOf(folder), (std::vector<ItemHandle>{page, added}));
    EXPECT_EQ(recordOf(added).isSecure, 1);
    EXPECT_EQ(imageOf(added), 8);
    EXPECT_FALSE(isReadOnly());
    PageRecord copy = recordOf(added);
    EXPECT_TRUE(secure::decryptPage(copy, false));
    EXPECT_EQ(copy.text, std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH));
}

TEST_F(SecurePagesTest, APastedCopyKeepsCipherAndHashAndDecrypts) {
    const ItemHandle item = makeSecretPage();
    command(IDM_COPY_PAGE);
    command(IDM_PASTE_PAGE);
    const ItemHandle pasted = list().GetSelection();
    ASSERT_NE(pasted, item);
    EXPECT_EQ(recordOf(pasted).cipher, recordOf(item).cipher);
    EXPECT_EQ(recordOf(pasted).textHash, recordOf(item).textHash);
    EXPECT_EQ(imageOf(pasted), 8);
    EXPECT_NE(editorText().find(SECRET), std::string::npos);
}

TEST_F(SecurePagesTest, ADamagedPageIsShownLockedOnceToldAndNeverOverwritten) {
    const ItemHandle item = makeSecretPage();
    select(itemAt(1));
    PageRecord& record = gBook.pages.recordOfItem(item);
    record.cipher[3] ^= 0x40;
    const std::string damaged = record.cipher;
    DialogAnswerer told(IDOK, "セキュアページ");
    select(item);
    EXPECT_EQ(editorText(), "未認証のため表示できません。");
    EXPECT_TRUE(isReadOnly());
    select(itemAt(1));
    select(item);
    EXPECT_EQ(told.answered(), 1);
    command(IDM_MAKE_ORDINARY);
    EXPECT_EQ(recordOf(item).isSecure, 1);
    EXPECT_EQ(recordOf(item).cipher, damaged);
    EXPECT_EQ(told.answered(), 1);
}

TEST_F(SecurePagesTest, PasswordBuffersReadBackAsZerosAfterTheDialogs) {
    const struct {
        const char* name;
        const char* caption;
        const char* password;
        int button;
        Tries tries;  // refused first: too short, differing or wrong
    } cases[] = {
        {"registered", REGISTER, PASSWORD, IDC_PASSWORD_OK, {{"1234567", "1234567"}, {PASSWORD, "pass-wore"}}},
        {"registration cancelled", REGISTER, PASSWORD, IDC_PASSWORD_CANCEL, {{PASSWORD, "pass-wore"}}},
        {"authenticated", CHECK, cryptokat::PAGE_PASSWORD, IDC_PASSWORD_OK, {{"quiltpaD", ""}}},
        {"authentication cancelled", CHECK, cryptokat::PAGE_PASSWORD, IDCANCEL, {{"quiltpaD", ""}}},
    };
    for (const auto& c : cases) {
        const bool registering = c.caption == REGISTER;
        DataFileHeader header = registering ? newFileHeader() : cryptokat::pageHeader();
        const bool accepted = c.button == IDC_PASSWORD_OK;
        KeptStorage storage;
        {
            PasswordAnswer answer(c.caption, c.password, c.button, c.tries);
            EXPECT_EQ(secure::registerOrAuthenticate(window, header), accepted) << c.name;
            EXPECT_EQ(answer.answered(), 1) << c.name;
        }
        secure::clearAuthentication();
        // each press of OK read the edits (two in the registration) into buffers of their own
        const std::size_t reads = (c.tries.size() + (accepted ? 1 : 0)) * (registering ? 2 : 1);
        EXPECT_GE(storage.blocks.size(), reads) << c.name;
        EXPECT_EQ(storage.givenBack, storage.blocks.size()) << c.name;
        for (const std::string& block : storage.blocks)
            EXPECT_EQ(block.find_first_not_of('\0'), std::string::npos) << c.name << ": a buffer of " << block.size();
    }
}

TEST_F(SecurePagesTest, SavedBookAndBackupsHoldNoPlainTextOfASecurePage) {
    select(itemAt(2));  // the first page shows at every load
    makeSecretPage();
    typeText(" and more");  // edited while shown: stored encrypted again
    pagedisplay::storeShownPage();
    ASSERT_TRUE(bookload::saveFromUi(gApp.paths.dataFilePath, SaveKind::ExitData));
    ASSERT_TRUE(bookload::makeBackup(SaveKind::Periodic));
    ASSERT_TRUE(settingsio::collectAndSaveSettings(window));
    // saving all pages without the password writes nothing at all
    reload();
    std::vector<std::string> files;
    collectFiles(folder.path(), files);
    {
        PasswordAnswer refuse(CHECK, "", IDC_PASSWORD_CANCEL);
        DialogAnswerer told(IDOK, iomessages::SAVE_ALL_CAPTION);
        command(IDM_SAVE_ALL_RTF);
        EXPECT_EQ(refuse.answered(), 1);
        EXPECT_EQ(told.answered(), 1);
    }
    std::vector<std::string> after;
    collectFiles(folder.path(), after);
    EXPECT_EQ(after, files);
    ASSERT_FALSE(files.empty());
    // no 16-byte run of what the page says, in any file
    const std::string plain = std::string(SECRET) + " and more";
    for (const std::string& file : files) {
        const std::string bytes = testcommon::readFile(file);
        for (std::size_t at = 0; at + 16 <= plain.size(); ++at)
            EXPECT_EQ(bytes.find(plain.substr(at, 16)), std::string::npos) << file << ": " << plain.substr(at, 16);
    }
}

}  // namespace
