#pragma once

#include "callsign/CallsignList.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tonvik {

// The log formats a personal list is imported from.
enum class ImportFormat { Adif, Cabrillo, CallList };

// ADIF by its extension (.adi, .adif) or by a first tag or an <EOH>/<EOR>;
// Cabrillo by a START-OF-LOG: or QSO: line; anything else is a call list.
ImportFormat DetectImportFormat(const std::filesystem::path& path, std::string_view bytes);

// Why the file at path could not be read, in a few words ("no such file",
// "larger than 50 MB: not read"); limit is the size it was read with. ""
// for Ok.
std::string FileProblemText(const std::filesystem::path& path, CallsignListStatus status,
                            std::size_t limit);

// The refusals listed per file; the rest are only counted.
inline constexpr std::size_t ListedRefusals = 5;

struct RefusedCall {
    int Line = 0;
    std::string Shown;  // the text as read, UTF-8
    std::string Reason; // English, UTF-8
};

// What one file gave.
struct FileImport {
    std::string Format; // empty when the file could not be read
    int Kept = 0;       // new callsigns
    int Duplicates = 0; // already in the list, or earlier in this file
    int Refused = 0;
    std::vector<RefusedCall> FirstRefused; // up to ListedRefusals
    // One line on what went wrong with the file as a whole (not found, too
    // large, binary, empty, no callsigns, a record cut off); empty when none.
    // It does not name the file: the caller does.
    std::string Problem;
};

// The callsigns of a personal list being made: each one once, in the order
// first met.
class CallsignCollection {
public:
    // The callsigns of a list already there (--append): taken as they are
    // read, refusals and comments passed over without a report.
    void AddExisting(std::string_view listBytes);

    // Reads one file as bytes (at most 50 MB; binary files refused) in the
    // format it is found to have.
    FileImport Import(const std::filesystem::path& path);
    // The same for bytes already read.
    FileImport ImportBytes(const std::filesystem::path& path, std::string_view bytes);

    const std::vector<std::string>& Calls() const { return Ordered; }
    // The callsigns that Import added, past those of AddExisting.
    int Added() const { return static_cast<int>(Ordered.size()) - Existing; }

private:
    bool Add(std::string call);

    std::vector<std::string> Ordered;
    std::unordered_set<std::string> Seen;
    int Existing = 0;
};

} // namespace tonvik
