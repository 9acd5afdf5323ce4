#pragma once

#include "app/BrowseRules.h"

#include <string>
#include <vector>

namespace velmora::browse {

// Names in the order of the user's language: accents and case count after the letters, and
// digits by their numeric value ("file9" before "file10"). The folder tree and the file lists
// both sort with it, so a name stands in the same place in each.
void sortListingByLocale(std::vector<FileItemPtr>& items, ListingOrder order);
void sortNamesByLocale(std::vector<std::string>& names);

} // namespace velmora::browse
