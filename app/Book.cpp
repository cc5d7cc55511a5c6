#include "app/Book.h"

Book gBook;
