// Trees written as text for tests: "a F(b c) d" names items in tree order, a
// folder's items in brackets. Names are single words.
#pragma once

#include <string>
#include <vector>

namespace testcommon {

// Calls add(name, parent) for every item in tree order; `parent` is the
// position of the parent among the items added before, -1 at the top level.
template <class Add>
void forEachShapeItem(const std::string& shape, Add add) {
    std::vector<int> parents{-1};
    int count = 0;
    std::string name;
    auto flush = [&] {
        if (name.empty()) return;
        add(name, parents.back());
        ++count;
        name.clear();
    };
    for (char c : shape) {
        if (c == '(') {
            flush();
            parents.push_back(count - 1);
        } else if (c == ')' || c == ' ') {
            flush();
            if (c == ')') parents.pop_back();
        } else {
            name += c;
        }
    }
    flush();
}

}  // namespace testcommon
