// The search handler and the account box's two handlers.
#pragma once

#include "extract.h"
#include "fetch.h"
#include "text.h"

namespace qz {

// The account box as the handlers see it.
class AccountBox {
public:
    virtual ~AccountBox() = default;
    // A copy of the box's text, owned by the caller.
    virtual Text text() = 0;
    virtual void set_text(const char* text) = 0;
};

// The result list as the search sees it: extraction's rows, and emptying.
class ResultList : public ResultRows {
public:
    // Removes every row; the columns stay.
    virtual void remove_all() = 0;
};

// What one search touches. `page_text` is the program's one page text:
// absent before the first search, replaced by every search.
struct SearchContext {
    AccountBox& account;
    ResultList& results;
    PageTransport& transport;
    Text& page_text;
};

// Empties the list, fetches the account's page, stores its text as the page
// text (empty after a failed fetch) and lists the modules found in it.
void run_search(SearchContext& context);

// Key code 13 (either Enter) runs the search; modifiers change nothing.
void on_account_key(SearchContext& context, int key_code, int modifiers);

// The box empties itself whenever it gets the focus.
void on_account_focus(AccountBox& account);

}  // namespace qz
