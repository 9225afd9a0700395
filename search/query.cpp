// The query address: three parts joined.
#include "query.h"

namespace qz {

static_assert(kAddressPrefix.substr(7, kServiceHost.size()) == kServiceHost);

Text query_address(std::string_view account) { return text_concat({kAddressPrefix, account, kAddressSuffix}); }

}  // namespace qz
