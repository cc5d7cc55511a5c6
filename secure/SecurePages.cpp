#include <windows.h>

#include "secure/SecurePages.h"

#include <unordered_set>

#include "secure/PageCrypt.h"
#include "secure/PasswordDialogs.h"
#include "secure/SecureMessages.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace secure {

namespace {

// The authentication of this run; lives on the user-interface thread.
struct SecureState {
    bool authenticated = false;
    bool cancelled = false;
    pagecrypt::KeyMaterial key;
    std::unordered_set<ItemHandle> reportedPages;  // told once that they do not decrypt
};

SecureState gSecure;

bool finishDialog(int endCode) {
    const bool accepted = endCode == passworddialogs::PASSWORD_ACCEPTED;
    gSecure.cancelled = !accepted;
    if (accepted) gSecure.authenticated = true;
    return accepted;
}

}  // namespace

bool isAuthenticated() { return gSecure.authenticated && gSecure.key.isSet(); }

bool wasCancelled() { return gSecure.cancelled; }

bool authenticate(HWND owner, const DataFileHeader& header) {
    return finishDialog(passworddialogs::runAuthenticationDialog(owner, header, gSecure.key));
}

bool registerOrAuthenticate(HWND owner, DataFileHeader& header) {
    if (header.passwordRegistered) return authenticate(owner, header);
    return finishDialog(passworddialogs::runRegistrationDialog(owner, header, gSecure.key));
}

void clearAuthentication() {
    gSecure.authenticated = false;
    gSecure.key.clear();
    gSecure.reportedPages.clear();
}

bool encryptPage(PageRecord& record) { return pagecrypt::encryptPage(record, gSecure.key); }

bool decryptPage(PageRecord& record, bool dropCipher) {
    return pagecrypt::decryptPage(record, gSecure.key, dropCipher);
}

void forgetPlainText(PageRecord& record) { pagecrypt::wipeString(record.text); }

bool sealEditedPage(PageRecord& record, HWND owner) {
    if (encryptPage(record)) return true;
    pagecrypt::wipeString(record.text);
    wide::messageBox(owner, securemsg::ENCRYPT_FAILED, securemsg::SECURE_PAGE_CAPTION, MB_OK | MB_ICONERROR);
    return false;
}

void reportUndecryptable(HWND owner, ItemHandle item) {
    if (!gSecure.reportedPages.insert(item).second) return;
    const busy::Operation box;  // nothing else starts behind it (a search step selecting another page)
    wide::messageBox(owner, securemsg::DECRYPT_FAILED, securemsg::SECURE_PAGE_CAPTION, MB_OK | MB_ICONWARNING);
}

}  // namespace secure
