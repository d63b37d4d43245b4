// Whole-page Cut, Copy, Paste, Insert and Delete through the clipboard,
// and what the Edit menu offers at the moment.
#pragma once

#include <string>

#include "deck/Document.h"

namespace rvm {

struct EditMenuState {
    bool undo = false, cut = false, paste = false, del = false, order = false;
};

class PageEdits {
public:
    PageEdits(Document& doc, PageView& view, Prompt& prompt) : doc_(doc), view_(view), prompt_(prompt) {}

    // Read each time the menu opens (the clipboard may have changed).
    EditMenuState menuState();
    void copyPage();
    void cutPage();
    void pastePage();
    void insertBlankPage();
    void deletePage();

private:
    void insertPageText(const std::string& pageText);

    Document& doc_;
    PageView& view_;
    Prompt& prompt_;
};

}  // namespace rvm
