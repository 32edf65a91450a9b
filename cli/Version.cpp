#include "cli/Version.h"

#include <QtGlobal>
#include <SDL.h>
#include <sndfile.h>

namespace tonvik {

std::string VersionText() {
    SDL_version sdl{};
    SDL_GetVersion(&sdl);
    // libsndfile names itself "libsndfile-1.2.0".
    std::string sndfile = sf_version_string();
    if (const auto dash = sndfile.rfind('-'); dash != std::string::npos)
        sndfile = sndfile.substr(dash + 1);
    return std::string("tonvik ") + TONVIK_VERSION + "\n" + "Qt " + qVersion() + "\n" + "SDL " +
           std::to_string(sdl.major) + "." + std::to_string(sdl.minor) + "." +
           std::to_string(sdl.patch) + "\n" + "libsndfile " + sndfile + "\n";
}

} // namespace tonvik
