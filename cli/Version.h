#pragma once

#include <string>

namespace tonvik {

// "tonvik X.Y.Z" from the project's version, then the versions of Qt, SDL and
// libsndfile that the program runs with, one per line.
std::string VersionText();

} // namespace tonvik
