#pragma once

#include <string>

#include "Book.h"

namespace qpdtool {

// The book as one JSON object (UTF-8).
std::string dumpJson(const Book& book);

}  // namespace qpdtool
