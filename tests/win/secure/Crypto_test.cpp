// The known answers against the platform's CryptoAPI (the host runs them against OpenSSL).
#include "tests/common/CryptoKnownAnswers.h"
