// The search, from the account box to the rows of the result list.
#include "search_handlers.h"

#include "query.h"

namespace qz {

void run_search(SearchContext& context)
{
    context.results.remove_all();
    Text address;
    {
        Text account = context.account.text();
        address = query_address(account.view());
    }
    Text page = text_of(fetch_page(address.view(), context.transport));
    address.reset();
    // The old page goes only now that the new one exists.
    context.page_text = std::move(page);
    extract_modules(context.page_text.view(), context.results);
}

void on_account_key(SearchContext& context, int key_code, int /*modifiers*/)
{
    if (key_code == 13)
        run_search(context);
}

void on_account_focus(AccountBox& account) { account.set_text(""); }

}  // namespace qz
