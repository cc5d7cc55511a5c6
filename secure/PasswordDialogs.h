// The two password dialogs: registration (the first time a page is made
// secure) and authentication. Both are modal over `owner` and end with
// PASSWORD_ACCEPTED on success, otherwise with the id of what cancelled them
// (the cancel button, or IDCANCEL for the Escape key and the close box).
#pragma once
#include <windows.h>

#include "secure/PageCrypt.h"
#include "store/DataFile.h"

namespace passworddialogs {

constexpr int PASSWORD_ACCEPTED = 1003;  // the dialogs' OK button

// Registers a password of 8 to 32 bytes, typed twice: `header` gets the salt,
// check value and flag, `key` the key material.
int runRegistrationDialog(HWND owner, DataFileHeader& header, pagecrypt::KeyMaterial& key);

// Asks until the password matches the header's check value (or the user
// cancels); `key` then gets the key material.
int runAuthenticationDialog(HWND owner, const DataFileHeader& header, pagecrypt::KeyMaterial& key);

}  // namespace passworddialogs
