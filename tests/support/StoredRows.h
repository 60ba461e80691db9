// What an index database holds, for tests that check the rows a build or update left.
#pragma once

#include <string>
#include <vector>

namespace zyl::test {

// The `location` of every row, in database order.
std::vector<std::string> StoredLocations(const std::string& dbname);

}  // namespace zyl::test
